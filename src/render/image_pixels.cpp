// Turns a decoded image surface into tightly packed RGB or RGBA pixels for a texture.
#include "render/image_pixels.h"

#include <SDL.h>

#include <cstring>
#include <memory>

namespace {

struct SurfaceFree {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};

bool hasTransparency(SDL_Surface* surface) {
    return surface->format->Amask != 0 || SDL_HasColorKey(surface) == SDL_TRUE;
}

}  // namespace

std::optional<ImagePixels> convertSurfacePixels(SDL_Surface* surface) {
    if (surface == nullptr || surface->format == nullptr) return std::nullopt;
    if (surface->w < 1 || surface->h < 1 || surface->w > kMaxImageSide || surface->h > kMaxImageSide) {
        return std::nullopt;
    }
    const bool alpha = hasTransparency(surface);
    const Uint32 target = alpha ? SDL_PIXELFORMAT_RGBA32 : SDL_PIXELFORMAT_RGB24;
    // SDL turns palettes, grey ramps, packed 16-bit pixels and other channel orders into
    // the byte order asked for, and a colour key into alpha 0. A surface already in that
    // order (what the decoders give for 8-bit RGB and RGBA files) is copied as it is.
    std::unique_ptr<SDL_Surface, SurfaceFree> owned;
    SDL_Surface* converted = surface;
    if (surface->format->format != target || SDL_HasColorKey(surface) == SDL_TRUE) {
        owned.reset(SDL_ConvertSurfaceFormat(surface, target, 0));
        if (!owned) return std::nullopt;
        converted = owned.get();
    }

    ImagePixels image;
    image.width = converted->w;
    image.height = converted->h;
    image.components = alpha ? 4 : 3;
    const std::size_t rowBytes = static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.components);
    if (converted->pitch < 0 || static_cast<std::size_t>(converted->pitch) < rowBytes) return std::nullopt;
    image.bytes.resize(rowBytes * static_cast<std::size_t>(image.height));

    if (SDL_LockSurface(converted) != 0) return std::nullopt;
    const auto* source = static_cast<const std::uint8_t*>(converted->pixels);
    // Rows of the converted surface are padded to its pitch; the upload takes them packed.
    for (int y = 0; y < image.height; ++y) {
        std::memcpy(image.bytes.data() + rowBytes * static_cast<std::size_t>(y),
                    source + static_cast<std::size_t>(converted->pitch) * static_cast<std::size_t>(y), rowBytes);
    }
    SDL_UnlockSurface(converted);
    return image;
}

bool surfaceIsPacked(const SDL_Surface* surface) {
    if (surface == nullptr || surface->format == nullptr || surface->pixels == nullptr) return false;
    if (surface->w < 1 || surface->h < 1 || surface->w > kMaxImageSide || surface->h > kMaxImageSide) return false;
    const Uint32 format = surface->format->format;
    const int components = format == SDL_PIXELFORMAT_RGBA32 ? 4 : format == SDL_PIXELFORMAT_RGB24 ? 3 : 0;
    return components != 0 && surface->pitch == surface->w * components &&
           SDL_HasColorKey(const_cast<SDL_Surface*>(surface)) == SDL_FALSE && !SDL_MUSTLOCK(surface);
}
