// Fuzzes the layer-list reader and the layer building behind it, with a loader that
// only checks the image name it is given.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "render/layer_list.h"

namespace {

unsigned int checkingLoader(const char* fileName) {
    // Names come through the 80-character buffer, never longer than the word limit.
    if (fileName == nullptr || std::strlen(fileName) > kImageWordMaxChars) std::abort();
    return 7;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const LayerReadResult result = readLayerGroups(std::string_view(reinterpret_cast<const char*>(data), size));
    if (result.status != LayerReadStatus::Ok && result.message.empty()) std::abort();
    for (const LayerGroup& group : result.groups) {
        if (group.start.empty() || group.end.empty() || group.image.empty() || group.effect.empty()) std::abort();
        if (group.start.size() > kTimeWordMaxChars || group.end.size() > kTimeWordMaxChars ||
            group.image.size() > kImageWordMaxChars || group.effect.size() > kEffectWordMaxChars) {
            std::abort();
        }
        if (group.start[0] == '#') std::abort();  // comments never reach the list
    }
    BlendLayerList layers;
    appendBlendLayers(result.groups, checkingLoader, layers);
    if (layers.size() != result.groups.size()) std::abort();
    for (const float t : {-1e30f, 0.0f, 17.0f, 91.3f, 1e30f}) {
        for (const BlendLayer& layer : layers) {
            if (layerLiveAt(layer, t) && !(layer.start < layer.end)) std::abort();  // live only inside a window
        }
    }
    return 0;
}
