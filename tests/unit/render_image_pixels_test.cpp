#include <gtest/gtest.h>

#include <SDL.h>

#include <cstring>
#include <memory>
#include <vector>

#include "render/image_pixels.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Surface = std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)>;

Surface makeSurface(Uint32 format, int w, int h) {
    return {SDL_CreateRGBSurfaceWithFormat(0, w, h, SDL_BITSPERPIXEL(format), format), &SDL_FreeSurface};
}

// Two equal rows of the given bytes come out as two packed rows, top row first.
TEST(RenderImagePixels, AnyLayoutBecomesPackedRgbOrRgba) {
    const struct {
        const char* what;
        Uint32 format;
        Bytes row;
        int components;
        Bytes expected;
    } cases[] = {
        {"BGR, 9-byte rows padded", SDL_PIXELFORMAT_BGR24, {1, 2, 3, 4, 5, 6, 7, 8, 9}, 3, {3, 2, 1, 6, 5, 4, 9, 8, 7}},
        {"alpha channel", SDL_PIXELFORMAT_BGRA32, {0x30, 0x20, 0x10, 0x80}, 4, {0x10, 0x20, 0x30, 0x80}},
        {"colour key", SDL_PIXELFORMAT_INDEX8, {0, 1}, 4, {255, 0, 0, 255, 0, 0, 255, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Surface s = makeSurface(c.format, static_cast<int>(c.row.size()) * 8 / SDL_BITSPERPIXEL(c.format), 2);
        ASSERT_NE(s, nullptr) << SDL_GetError();
        if (c.format == SDL_PIXELFORMAT_INDEX8) {
            const SDL_Color colours[2] = {{255, 0, 0, 255}, {0, 0, 255, 255}};
            SDL_SetPaletteColors(s->format->palette, colours, 0, 2);
            SDL_SetColorKey(s.get(), SDL_TRUE, 1);
        }
        auto* pixels = static_cast<Uint8*>(s->pixels);
        for (int y = 0; y < 2; ++y) std::memcpy(pixels + s->pitch * y, c.row.data(), c.row.size());
        const auto image = convertSurfacePixels(s.get());
        ASSERT_TRUE(image.has_value());
        EXPECT_EQ(image->components, c.components);
        Bytes twice = c.expected;
        twice.insert(twice.end(), c.expected.begin(), c.expected.end());
        EXPECT_EQ(image->bytes, twice);
    }
    EXPECT_FALSE(convertSurfacePixels(nullptr).has_value());
    EXPECT_FALSE(convertSurfacePixels(makeSurface(SDL_PIXELFORMAT_RGB24, kMaxImageSide + 1, 1).get()).has_value());
}

// Only surfaces whose bytes are already the converted ones are read in place, and then they
// are exactly what the conversion gives.
TEST(RenderImagePixels, OnlyPackedRgbAndRgbaSurfacesAreReadInPlace) {
    const struct {
        const char* what;
        Uint32 format;
        int width;
        bool colourKey;
        bool packed;
    } cases[] = {
        {"RGBA", SDL_PIXELFORMAT_RGBA32, 3, false, true},
        {"RGB, rows of 12 bytes", SDL_PIXELFORMAT_RGB24, 4, false, true},
        {"RGB, 15-byte rows padded to 16", SDL_PIXELFORMAT_RGB24, 5, false, false},
        {"BGR", SDL_PIXELFORMAT_BGR24, 4, false, false},
        {"RGB with a colour key", SDL_PIXELFORMAT_RGB24, 4, true, false},
        {"ARGB words", SDL_PIXELFORMAT_ARGB8888, 3, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Surface s = makeSurface(c.format, c.width, 2);
        ASSERT_NE(s, nullptr) << SDL_GetError();
        auto* pixels = static_cast<Uint8*>(s->pixels);
        for (int i = 0; i < s->pitch * 2; ++i) pixels[i] = static_cast<Uint8>(i * 7);
        if (c.colourKey) SDL_SetColorKey(s.get(), SDL_TRUE, 0);
        EXPECT_EQ(surfaceIsPacked(s.get()), c.packed);
        if (c.packed) {
            const auto image = convertSurfacePixels(s.get());
            ASSERT_TRUE(image.has_value());
            EXPECT_EQ(image->bytes, Bytes(pixels, pixels + s->pitch * 2));
        }
    }
    EXPECT_FALSE(surfaceIsPacked(nullptr));
}

}  // namespace
