// The loaded-image cache: one texture per exact file name.
#include "render/image_cache.h"

std::optional<unsigned int> findCachedTexture(const ImageCache& cache, std::string_view name) {
    for (std::size_t i = 0; i < cache.names.size() && i < cache.textures.size(); ++i) {
        if (cache.names[i] == name) return cache.textures[i];
    }
    return std::nullopt;
}

void addCachedTexture(ImageCache& cache, std::string_view name, unsigned int texture) {
    cache.names.emplace_back(name);
    cache.textures.push_back(texture);
}
