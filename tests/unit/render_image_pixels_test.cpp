#include <gtest/gtest.h>

#include <SDL.h>

#include <cstring>
#include <memory>

#include "render/image_pixels.h"

namespace {

struct SurfaceFree {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using Surface = std::unique_ptr<SDL_Surface, SurfaceFree>;

Surface makeSurface(int w, int h, Uint32 format) {
    Surface s(SDL_CreateRGBSurfaceWithFormat(0, w, h, SDL_BITSPERPIXEL(format), format));
    EXPECT_NE(s, nullptr) << SDL_GetError();
    return s;
}

std::uint8_t* row(SDL_Surface* s, int y) { return static_cast<std::uint8_t*>(s->pixels) + s->pitch * y; }

TEST(RenderImagePixels, BgrOrderBecomesRgbWithPackedRows) {
    // Width 3 at 3 bytes a pixel: 9-byte rows that SDL pads to a 12-byte pitch.
    Surface s = makeSurface(3, 2, SDL_PIXELFORMAT_BGR24);
    ASSERT_GT(s->pitch, 9);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            std::uint8_t* p = row(s.get(), y) + 3 * x;
            p[0] = static_cast<std::uint8_t>(10 * x + y);  // blue
            p[1] = 100;                                    // green
            p[2] = static_cast<std::uint8_t>(200 + y);     // red
        }
    }
    const auto image = convertSurfacePixels(s.get());
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->components, 3);
    ASSERT_EQ(image->bytes.size(), 3u * 2u * 3u);
    // Row 1, pixel 2: R, G, B with no padding between rows.
    const std::uint8_t* p = image->bytes.data() + 9 + 6;
    EXPECT_EQ(p[0], 201);
    EXPECT_EQ(p[1], 100);
    EXPECT_EQ(p[2], 21);
}

TEST(RenderImagePixels, PalettisedGreyBecomesRgb) {
    Surface s = makeSurface(2, 1, SDL_PIXELFORMAT_INDEX8);
    SDL_Color greys[2] = {{0, 0, 0, 255}, {128, 128, 128, 255}};
    ASSERT_EQ(SDL_SetPaletteColors(s->format->palette, greys, 0, 2), 0);
    row(s.get(), 0)[0] = 1;
    row(s.get(), 0)[1] = 0;
    const auto image = convertSurfacePixels(s.get());
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->components, 3);
    const std::vector<std::uint8_t> expected = {128, 128, 128, 0, 0, 0};
    EXPECT_EQ(image->bytes, expected);
}

TEST(RenderImagePixels, ColourKeyBecomesTransparentRgba) {
    Surface s = makeSurface(2, 1, SDL_PIXELFORMAT_INDEX8);
    SDL_Color colours[2] = {{255, 0, 0, 255}, {0, 0, 255, 255}};
    ASSERT_EQ(SDL_SetPaletteColors(s->format->palette, colours, 0, 2), 0);
    ASSERT_EQ(SDL_SetColorKey(s.get(), SDL_TRUE, 1), 0);
    row(s.get(), 0)[0] = 0;
    row(s.get(), 0)[1] = 1;
    const auto image = convertSurfacePixels(s.get());
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->components, 4);
    ASSERT_EQ(image->bytes.size(), 8u);
    EXPECT_EQ(image->bytes[0], 255);
    EXPECT_EQ(image->bytes[3], 255);
    EXPECT_EQ(image->bytes[7], 0);  // the keyed pixel
}

TEST(RenderImagePixels, SixteenBitPixelsExpandToEightBits) {
    Surface s = makeSurface(1, 1, SDL_PIXELFORMAT_RGB565);
    const Uint16 pureGreen = 0x07E0;
    std::memcpy(row(s.get(), 0), &pureGreen, sizeof pureGreen);
    const auto image = convertSurfacePixels(s.get());
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->components, 3);
    const std::vector<std::uint8_t> expected = {0, 255, 0};
    EXPECT_EQ(image->bytes, expected);
}

TEST(RenderImagePixels, AlphaChannelKeepsRgbaInByteOrder) {
    Surface s = makeSurface(1, 1, SDL_PIXELFORMAT_ARGB8888);
    const Uint32 pixel = 0x80102030u;  // A=0x80, R=0x10, G=0x20, B=0x30
    std::memcpy(row(s.get(), 0), &pixel, sizeof pixel);
    const auto image = convertSurfacePixels(s.get());
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->components, 4);
    const std::vector<std::uint8_t> expected = {0x10, 0x20, 0x30, 0x80};
    EXPECT_EQ(image->bytes, expected);
}

TEST(RenderImagePixels, NullSurfaceGivesNothing) { EXPECT_FALSE(convertSurfacePixels(nullptr).has_value()); }

}  // namespace
