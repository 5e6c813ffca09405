#include "shell/capture.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cstdio>
#include <cstring>
#include <vector>

CaptureSettings captureSettings;
bool captureFramePending = false;

std::string captureFileName(const std::string& directory, std::int64_t frameIndex) {
    char name[32];
    std::snprintf(name, sizeof name, "frame-%06lld.png", static_cast<long long>(frameIndex));
    return directory + "/" + name;
}

bool savePng(const std::string& fileName, std::span<const std::uint8_t> rgbaBottomUp, int width, int height) {
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
    if (width <= 0 || height <= 0 || rgbaBottomUp.size() < rowBytes * static_cast<std::size_t>(height)) return false;
    std::vector<std::uint8_t> topDown(rowBytes * static_cast<std::size_t>(height));
    for (int row = 0; row < height; ++row) {
        std::memcpy(topDown.data() + rowBytes * static_cast<std::size_t>(row),
                    rgbaBottomUp.data() + rowBytes * static_cast<std::size_t>(height - 1 - row), rowBytes);
    }
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(topDown.data(), width, height, 32,
                                                              static_cast<int>(rowBytes), SDL_PIXELFORMAT_RGBA32);
    if (surface == nullptr) return false;
    const bool saved = IMG_SavePNG(surface, fileName.c_str()) == 0;
    SDL_FreeSurface(surface);
    return saved;
}
