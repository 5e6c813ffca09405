// Mip levels of an image texture, prepared on the CPU without a GL context, so that any
// thread can build them. The texels are the ones GLU's gluBuild2DMipmaps uploads for 8-bit
// RGB and RGBA images packed without row padding: the picture has always been drawn from
// those, and it must not change by a byte.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "render/image_pixels.h"

struct MipLevel {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> bytes;  // width * height * components, rows packed
};

struct MipChain {
    int components = 0;            // 3 (RGB) or 4 (RGBA)
    std::vector<MipLevel> levels;  // level 0 first, down to 1 by 1
};

// The power of two GLU rounds a side to: the nearest by the side's two highest bits,
// 3 * 2^n going up (1920 -> 2048, 1080 -> 1024, 3 -> 4, 5 -> 4, 6 -> 8). 0 for 0.
int nearestPowerOfTwo(unsigned int side);

struct TextureSize {
    int width = 0;
    int height = 0;
};
// Level 0's size: each side rounded to a power of two, then both halved (never below 1)
// while either is over the driver's largest texture side.
TextureSize mipBaseSize(int width, int height, int maxTextureSide);

// Packed RGB or RGBA bytes, rows top first, held elsewhere (a decoder's surface, an
// ImagePixels).
struct PixelView {
    int width = 0;
    int height = 0;
    int components = 0;
    std::span<const std::uint8_t> bytes;
};

// Every level: the image box-filtered to mipBaseSize (or taken as it is when its sides are
// already that size), then halved level by level down to 1 by 1. An image without pixels
// or with another component count gives an empty chain.
MipChain buildMipChain(const PixelView& image, int maxTextureSide);
inline MipChain buildMipChain(const ImagePixels& image, int maxTextureSide) {
    return buildMipChain(PixelView{image.width, image.height, image.components, image.bytes}, maxTextureSide);
}
