// The image loader's cache: two parallel lists, file names in load order and the GL
// texture made for each. Keys are compared byte for byte (case matters, no path
// normalisation), and an entry is added only after a successful load.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct ImageCache {
    std::vector<std::string> names;
    std::vector<unsigned int> textures;
};

// The texture stored for exactly this name, searched from the oldest entry.
std::optional<unsigned int> findCachedTexture(const ImageCache& cache, std::string_view name);
// Appends one entry to both lists.
void addCachedTexture(ImageCache& cache, std::string_view name, unsigned int texture);
