// Layer-list loading with the real texture loader.
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/data_root.h"
#include "base/process_exit.h"
#include "render/image_preparation.h"
#include "render/layer_list.h"
#include "render/textures.h"

BlendLayer makeBlendLayer(float start, float end, const std::string& image, const std::string& effect) {
    return makeBlendLayerWith(start, end, image, effect, &loadImageTexture);
}

void loadBlendLayers() {
    const std::string path = dataPath(kBlendLayerFile);
    const std::optional<LayerReadResult> file = readLayerFile(path.c_str());
    if (!file) return;  // no layer list: frames go without post-processing layers
    const LayerReadResult& read = *file;
    printLayerWarnings(read, path.c_str());
    if (read.status != LayerReadStatus::Ok) {
        exitWithMessage(stderr, "%s: %s\n", path.c_str(), read.message.c_str());
    }
    // The list's pictures not loaded yet are prepared on the workers, while the earlier
    // ones upload.
    std::vector<std::string> names;
    std::vector<std::string> paths;
    for (std::string& name : layerImageNames(read.groups)) {
        if (findCachedTexture(textures.imageCache, name)) continue;
        paths.push_back(dataPath(name));
        names.push_back(std::move(name));
    }
    prepareImagesAhead(names, paths);
    appendBlendLayers(read.groups, &loadImageTexture, blendLayers);
}
