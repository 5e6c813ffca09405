// Taking shader sources and the layer list in again while the demo runs. A new program
// or layer list replaces the old one only when it is complete; otherwise the old one
// stays in use and what went wrong is printed.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "render/layer_list.h"
#include "render/shaders.h"

// The distinct source files of the shader table (eleven), in first-use order.
std::vector<std::string> shaderSourceFiles();
// Indices into kShaderRecipes of the entries built from the file.
std::vector<std::size_t> shaderEntriesUsing(std::string_view file);

// Every layer drawn with oldProgram is drawn with newProgram from now on.
void replaceLayerProgram(BlendLayerList& layers, unsigned int oldProgram, unsigned int newProgram);

// Image loader that reports failure instead of ending the run.
using TryImageLoader = std::optional<unsigned int> (*)(const char* fileName, std::string* error);

// Takes a layer list's groups into out, their warnings printed after fileName. False, with
// the reason in error, when the reading stopped (a word too long, a file too large) or an
// image of a live layer cannot be loaded; out is then left as it was.
bool readBlendLayersChecked(const LayerReadResult& read, const char* fileName, TryImageLoader loader,
                            BlendLayerList& out, std::string& error);

// Rebuilds one shader table entry from its files (needs GL). On success the entry, its
// program name and every layer or particle pass that used the old program take the new
// one and the old objects are deleted; on failure the log is printed and nothing changes.
bool rebuildShaderEntry(std::size_t index);
// Reads "dat/p-blend.dat" again; blendLayers is replaced only when the whole file reads
// and every image loads. A missing file keeps the old list too.
bool reloadBlendLayerFile();
