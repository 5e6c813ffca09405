// What a reload touches: the shader files each program is built from, and a checked re-read
// of the blend layer list that keeps the old one on any error.
#include "render/reload.h"

#include <algorithm>
#include <cstdio>

namespace {

bool uses(const ShaderRecipe& entry, std::string_view file) {
    return file == entry.vertexFile || file == entry.fragmentFile || (entry.geometry() && file == entry.geometryFile);
}

}  // namespace

std::vector<std::string> shaderSourceFiles() {
    std::vector<std::string> files;
    const auto add = [&](const char* file) {
        if (file != nullptr && std::find(files.begin(), files.end(), file) == files.end()) files.emplace_back(file);
    };
    for (const ShaderRecipe& entry : kShaderRecipes) {
        add(entry.vertexFile);
        add(entry.fragmentFile);
        add(entry.geometryFile);
    }
    return files;
}

std::vector<std::size_t> shaderEntriesUsing(std::string_view file) {
    std::vector<std::size_t> entries;
    for (std::size_t i = 0; i < kShaderRecipes.size(); ++i) {
        if (uses(kShaderRecipes[i], file)) entries.push_back(i);
    }
    return entries;
}

void replaceLayerProgram(BlendLayerList& layers, unsigned int oldProgram, unsigned int newProgram) {
    if (oldProgram == 0) return;  // program 0 is plain copying, never a built program
    for (BlendLayer& layer : layers) {
        if (layer.program == oldProgram) layer.program = newProgram;
    }
}

bool readBlendLayersChecked(const LayerReadResult& read, const char* fileName, TryImageLoader loader,
                            BlendLayerList& out, std::string& error) {
    printLayerWarnings(read, fileName);
    if (read.status != LayerReadStatus::Ok) {
        error = read.message;
        return false;
    }
    // Load every image first: one that fails leaves the old list whole.
    for (std::size_t i = 0; i < read.groups.size(); ++i) {
        const LayerGroup& group = read.groups[i];
        if (parseLayerTime(group.end) == 0.0f || group.image == "0") continue;  // loads nothing
        char fileName[80];
        std::snprintf(fileName, sizeof fileName, "%s", group.image.c_str());
        std::string why;
        if (!loader(fileName, &why)) {
            error = "layer group " + std::to_string(i + 1) + ": cannot load the image " + fileName +
                    (why.empty() ? std::string() : ": " + why);
            return false;
        }
    }
    // Every image is known to load by now: each name is a cache hit.
    BlendLayerList fresh;
    appendBlendLayers(
        read.groups, [loader](const char* name) { return loader(name, nullptr).value_or(0); }, fresh);
    out.swap(fresh);
    return true;
}
