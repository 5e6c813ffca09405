// Timed post-processing layers read from "dat/p-blend.dat": from when to when an image
// is combined with the picture by which effect.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "render/shaders.h"

struct BlendLayer {
    float start = 0.0f;        // live strictly after this demo time
    float end = 0.0f;          // live strictly before this demo time
    unsigned int texture = 0;  // layer image, 0 for none
    unsigned int program = 0;  // effect program, 0 for plain fixed-function copying
};
using BlendLayerList = std::vector<BlendLayer>;

extern BlendLayerList blendLayers;  // filled once at start-up, file order

inline constexpr const char* kBlendLayerFile = "dat/p-blend.dat";

// Longest header line and words the file may hold.
inline constexpr std::size_t kHeaderMaxChars = 254;
inline constexpr std::size_t kTimeWordMaxChars = 31;
inline constexpr std::size_t kImageWordMaxChars = 79;
inline constexpr std::size_t kEffectWordMaxChars = 127;

// Exact, case-sensitive effect names of the shader table; anything else is EffectKind::None.
EffectKind effectKindFromName(const std::string& name);
// The program of the shader table for the effect, 0 for None.
unsigned int programForEffect(EffectKind kind);

// One group of four words as read from the file.
struct LayerGroup {
    std::string start;
    std::string end;
    std::string image;
    std::string effect;
};

enum class LayerReadStatus { Ok, WordTooLong, TooLarge };

// A layer list larger than this is not read (an endless stream must not fill the memory).
inline constexpr std::size_t kMaxLayerListBytes = std::size_t{16} << 20;

struct LayerReadResult {
    std::vector<LayerGroup> groups;  // accepted groups in file order (comments dropped)
    LayerReadStatus status = LayerReadStatus::Ok;
    std::string message;  // what went wrong, for WordTooLong and TooLarge
    // One line per record whose words cannot be what their places ask (a time that is not
    // a number, an effect that is not one of the five, a record cut short at the end),
    // naming the record's number and line; the reading itself is not changed by them.
    std::vector<std::string> warnings;
};

// Skips the header line, then takes the words four at a time. A group whose first word
// starts with '#' is dropped; a partial last group is dropped. A header longer than 254
// characters yields no groups. A word of a layer group longer than its limit stops the
// reading with WordTooLong (the groups before it are kept in the result).
LayerReadResult readLayerGroups(std::string_view text);
// Reads the layer list file whole and takes its groups; nothing when it cannot be opened. A
// file larger than kMaxLayerListBytes (an endless stream too) gives TooLarge.
std::optional<LayerReadResult> readLayerFile(const char* path);

// "atof" of a time word, stored as float; values beyond float range become infinite.
float parseLayerTime(const std::string& word);

using ImageLoader = std::function<unsigned int(const char* fileName)>;

// The layer for one group: never live (all zero) when end is exactly 0, no image and no
// program when the image word is "0", else the image through the loader (before the
// effect name is looked at) and the effect's program.
BlendLayer makeBlendLayerWith(float start, float end, const std::string& image, const std::string& effect,
                              const ImageLoader& loader);
// As above with the cached texture loader (needs a GL context).
BlendLayer makeBlendLayer(float start, float end, const std::string& image, const std::string& effect);

// Appends the layers of the group list to the list, through the loader.
void appendBlendLayers(const std::vector<LayerGroup>& groups, const ImageLoader& loader, BlendLayerList& list);

// Reads "dat/p-blend.dat" into blendLayers (missing file: no layers), printing the
// reader's warnings. An over-long word ends the run with a message and status 1, as does
// an image that cannot be loaded.
void loadBlendLayers();

// Prints the reader's warnings on standard error, each after the name of the file read.
// The file names the groups' layers ask the loader for, in list order: none for a layer that
// is never live or has no image.
std::vector<std::string> layerImageNames(const std::vector<LayerGroup>& groups);

void printLayerWarnings(const LayerReadResult& read, const char* fileName);

// A layer is live strictly inside its window: start < t < end.
bool layerLiveAt(const BlendLayer& layer, float t);
