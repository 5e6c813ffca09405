// Decoded images in the one layout the texture upload takes: 8-bit R, G, B (, A) bytes,
// rows tightly packed, top row first.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

struct SDL_Surface;

struct ImagePixels {
    int width = 0;
    int height = 0;
    int components = 0;               // 3 (RGB) or 4 (RGBA)
    std::vector<std::uint8_t> bytes;  // width * height * components
};

// Larger images than this are refused rather than uploaded.
inline constexpr int kMaxImageSide = 16384;

// Converts any decoded surface (palettised, grey, 16-bit, BGR order, ...) to RGB or RGBA
// bytes. Surfaces with an alpha channel or a colour key keep their transparency as RGBA;
// all others become RGB. Nothing for an empty, oversized or unconvertible surface.
std::optional<ImagePixels> convertSurfacePixels(SDL_Surface* surface);
// Whether the surface's own pixels are already what convertSurfacePixels would make of
// them: 8-bit RGB or RGBA in byte order, rows packed, no colour key, no locking needed.
// Those are read in place.
bool surfaceIsPacked(const SDL_Surface* surface);
