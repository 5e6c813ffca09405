// Layer-list loading with the real texture loader.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "base/data_root.h"
#include "base/process_exit.h"
#include "render/layer_list.h"
#include "render/textures.h"

BlendLayer makeBlendLayer(float start, float end, const std::string& image, const std::string& effect) {
    return makeBlendLayerWith(start, end, image, effect, &loadImageTexture);
}

void loadBlendLayers() {
    const std::string path = dataPath(kBlendLayerFile);
    std::ifstream in(path, std::ios::binary);
    if (!in) return;  // no layer list: frames go without post-processing layers
    const LayerReadResult read = readLayerGroups(in);
    printLayerWarnings(read, path.c_str());
    if (read.status != LayerReadStatus::Ok) {
        exitWithMessage(stderr, "%s: %s\n", path.c_str(), read.message.c_str());
    }
    appendBlendLayers(read.groups, &loadImageTexture, blendLayers);
}
