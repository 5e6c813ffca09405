// Offline capture: how many frames a time span gives, their file names, and PNG writing.
#include "program/capture.h"

#include <SDL.h>
#include <SDL_image.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "base/file_writes.h"
#include "program/stop_signals.h"

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

namespace {

// An SDL stream that appends whatever is written to a string: the PNG encoder writes into
// memory, and the file is then written with every error checked.
std::size_t appendToString(SDL_RWops* stream, const void* bytes, std::size_t size, std::size_t count) {
    auto* text = static_cast<std::string*>(stream->hidden.unknown.data1);
    text->append(static_cast<const char*>(bytes), size * count);
    return count;
}

int closeStringStream(SDL_RWops* stream) {
    SDL_FreeRW(stream);
    return 0;
}

// The stream is written front to back only; anything else is refused, not a crash.
Sint64 noStreamSize(SDL_RWops*) { return -1; }
Sint64 noStreamSeek(SDL_RWops*, Sint64, int) { return -1; }
std::size_t noStreamRead(SDL_RWops*, void*, std::size_t, std::size_t) { return 0; }

}  // namespace

std::optional<std::string> encodePng(std::span<const std::uint8_t> rgbaBottomUp, int width, int height) {
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
    if (width <= 0 || height <= 0 || rgbaBottomUp.size() < rowBytes * static_cast<std::size_t>(height)) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> topDown(rowBytes * static_cast<std::size_t>(height));
    for (int row = 0; row < height; ++row) {
        std::memcpy(topDown.data() + rowBytes * static_cast<std::size_t>(row),
                    rgbaBottomUp.data() + rowBytes * static_cast<std::size_t>(height - 1 - row), rowBytes);
    }
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(topDown.data(), width, height, 32,
                                                              static_cast<int>(rowBytes), SDL_PIXELFORMAT_RGBA32);
    if (surface == nullptr) return std::nullopt;
    std::string png;
    SDL_RWops* stream = SDL_AllocRW();
    if (stream == nullptr) {
        SDL_FreeSurface(surface);
        return std::nullopt;
    }
    stream->type = SDL_RWOPS_UNKNOWN;
    stream->size = noStreamSize;
    stream->seek = noStreamSeek;
    stream->read = noStreamRead;
    stream->write = appendToString;
    stream->close = closeStringStream;
    stream->hidden.unknown.data1 = &png;
    const bool encoded = IMG_SavePNG_RW(surface, stream, 1) == 0;
    SDL_FreeSurface(surface);
    if (!encoded || png.empty()) return std::nullopt;
    return png;
}

bool savePng(const std::string& fileName, std::span<const std::uint8_t> rgbaBottomUp, int width, int height,
             std::string* reason) {
    const std::optional<std::string> png = encodePng(rgbaBottomUp, width, height);
    if (!png) {
        if (reason != nullptr) *reason = "the picture cannot be encoded as PNG";
        return false;
    }
    const std::string partial = partialFileName(fileName, static_cast<long>(::getpid()));
    // A run stopped while the frame is being written must leave no part of it.
    removeFileOnStop(partial.c_str());
    const bool saved = writeFileWhole(fileName, partial, *png, reason);
    removeFileOnStop(nullptr);
    return saved;
}
