// Offline capture: how many frames a time span gives, their file names, and PNG writing.
#include "program/capture.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

CaptureSettings captureSettings;
bool captureFramePending = false;

std::int64_t offlineFrameCount(double startSeconds, double endSeconds, int fps) {
    if (fps < 1 || !(endSeconds > startSeconds)) return 1;
    const auto after = [&](std::int64_t frame) {
        return static_cast<float>(startSeconds + static_cast<double>(frame) / fps) > static_cast<float>(endSeconds);
    };
    // The closed form lands within a frame of the answer; the clock's own comparison
    // settles it.
    auto count = static_cast<std::int64_t>(std::min((endSeconds - startSeconds) * fps, 1e9)) + 1;
    while (count > 1 && after(count - 1)) --count;
    while (!after(count)) ++count;
    return count;
}

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
