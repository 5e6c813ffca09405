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

}  // namespace
