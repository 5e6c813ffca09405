#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>
#include <numeric>
#include <sstream>
#include <string>
#include <vector>

#include "canvas.h"
#include "font.h"
#include "image_intro.h"
#include "image_logo.h"
#include "image_pictures.h"
#include "image_ppm.h"

namespace {

float coverageAt(const Mask& mask, int x, int y) {
    return mask.coverage[static_cast<std::size_t>(y) * static_cast<std::size_t>(mask.width) +
                         static_cast<std::size_t>(x)];
}

struct PpmWords {
    std::vector<std::string> header;
    std::vector<int> values;
    std::size_t longestLine = 0;
};

PpmWords parsePpm(const std::string& text) {
    PpmWords words;
    std::istringstream in(text);
    std::string line;
    for (int i = 0; i < 4 && std::getline(in, line); ++i) words.header.push_back(line);
    while (std::getline(in, line)) {
        words.longestLine = std::max(words.longestLine, line.size());
        int value = -1;
        for (const char c : line) {
            if (c >= '0' && c <= '9') {
                value = (value < 0 ? 0 : value * 10) + (c - '0');
            } else {
                if (value >= 0) words.values.push_back(value);
                value = -1;
            }
        }
        if (value >= 0) words.values.push_back(value);
    }
    return words;
}

}  // namespace

TEST(ArtFont, GlyphTableHoldsTheDrawnCells) {
    const GlyphRows l = glyphFor('l');
    EXPECT_EQ(l[0], 0b01100);
    for (int row = 1; row < 6; ++row) EXPECT_EQ(l[static_cast<std::size_t>(row)], 0b00100);
    EXPECT_EQ(l[6], 0b01110);
    EXPECT_EQ(l[7], 0);
    // Descenders reach rows 7 and 8.
    EXPECT_NE(glyphFor('g')[8], 0);
    EXPECT_EQ(glyphFor('K'), glyphFor('k'));
    EXPECT_FALSE(hasGlyph('~'));
    EXPECT_EQ(glyphFor('~'), GlyphRows{});
    EXPECT_EQ(glyphFor(' '), GlyphRows{});
    EXPECT_EQ(glyphFor('\0'), GlyphRows{});
}

TEST(ArtFont, TextWidthCountsCellsWithoutTrailingSpace) {
    EXPECT_EQ(textWidthCells(""), 0);
    EXPECT_EQ(textWidthCells("a"), 5);
    EXPECT_EQ(textWidthCells("the vel karn"), 12 * 6 - 1);
}

TEST(ArtFont, DashCoversExactlyItsMiddleRow) {
    std::vector<Capsule> strokes;
    constexpr float kCell = 10.0f;
    addTextStrokes(strokes, "-", 0.0f, 0.0f, kCell, 0.42f);
    Mask mask = makeMask(5 * 10, 9 * 10);
    stampCapsules(mask, strokes);
    const auto cellCentre = [&](int column, int row) {
        return coverageAt(mask, column * 10 + 5, row * 10 + 5);
    };
    for (int column = 1; column <= 3; ++column) EXPECT_FLOAT_EQ(cellCentre(column, 4), 1.0f);
    EXPECT_FLOAT_EQ(cellCentre(0, 4), 0.0f);
    EXPECT_FLOAT_EQ(cellCentre(4, 4), 0.0f);
    for (int row : {0, 2, 6, 8}) EXPECT_FLOAT_EQ(cellCentre(2, row), 0.0f);
}

TEST(ArtFont, UnknownCharactersAndSpacesDrawNothingButAdvance) {
    std::vector<Capsule> strokes;
    addTextStrokes(strokes, " ~ ", 0.0f, 0.0f, 4.0f);
    EXPECT_TRUE(strokes.empty());
    addTextStrokes(strokes, "  .", 0.0f, 0.0f, 4.0f);
    ASSERT_FALSE(strokes.empty());
    // The dot is in the third character: two advances of 6 cells, column 2.
    EXPECT_FLOAT_EQ(strokes.front().x0, (2 * 6 + 2.5f) * 4.0f);
}

TEST(ArtCanvas, ByteConversionKeepsExactLevelsAndClamps) {
    Canvas canvas = makeCanvas(4, 1, Rgba{0, 0, 0, 1});
    float* p = canvas.pixels.data();
    p[0] = 1.0f;
    p[4] = -3.0f;
    p[8] = 7.0f;
    p[12] = std::numeric_limits<float>::quiet_NaN();
    for (int channels : {3, 4}) {
        const std::vector<std::uint8_t> bytes = canvasBytes(canvas, channels);
        ASSERT_EQ(bytes.size(), static_cast<std::size_t>(4 * channels));
        EXPECT_EQ(bytes[0], 255);
        EXPECT_EQ(bytes[1], 0);
        EXPECT_EQ(bytes[static_cast<std::size_t>(channels)], 0);
        EXPECT_EQ(bytes[static_cast<std::size_t>(2 * channels)], 255);
    }
    EXPECT_THROW(canvasBytes(canvas, 2), std::invalid_argument);
}

TEST(ArtCanvas, StampsStayInsideTheMaskWhateverTheCoordinates) {
    Mask mask = makeMask(16, 8);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    stampCapsule(mask, Capsule{-1e9f, -1e9f, 1e9f, 1e9f, 2.0f});
    stampCapsule(mask, Capsule{nan, 0.0f, 4.0f, 4.0f, 2.0f});
    stampCapsule(mask, Capsule{100.0f, 100.0f, 200.0f, 200.0f, 5.0f});
    for (float c : mask.coverage) {
        EXPECT_GE(c, 0.0f);
        EXPECT_LE(c, 1.0f);
    }
    Canvas canvas = makeCanvas(3, 3, Rgba{0, 0, 0, 1});
    paintCapsule(canvas, Capsule{1.5f, 1.5f, 1.5f, 1.5f, 1.0f}, Rgba{1, 1, 1, 1});
    EXPECT_FLOAT_EQ(pixelAt(canvas, 1, 1)[0], 1.0f);
    blendPixel(canvas, -1, 5, Rgba{1, 1, 1, 1}, 1.0f);  // outside: ignored
    EXPECT_THROW(paintMask(canvas, mask, Rgba{1, 1, 1, 1}), std::invalid_argument);
}

TEST(ArtCanvas, BlurSpreadsWithoutGainingCoverage) {
    Mask mask = makeMask(41, 41);
    mask.coverage[20 * 41 + 20] = 1.0f;
    const Mask blurred = blurredMask(mask, 3);
    const float total = std::accumulate(blurred.coverage.begin(), blurred.coverage.end(), 0.0f);
    EXPECT_NEAR(total, 1.0f, 1e-4f);
    EXPECT_GT(coverageAt(blurred, 23, 20), 0.0f);
    EXPECT_LT(coverageAt(blurred, 20, 20), 1.0f);
}

TEST(ArtPpm, TinyPictureHasFourHeaderLinesAndOneTriplePerPixel) {
    Mask mask = makeMask(7, 3);
    mask.coverage[0] = 1.0f;   // top-left: logo
    mask.coverage[8] = 0.5f;   // half covered counts as logo
    mask.coverage[20] = 0.49f; // not quite
    const PpmWords ppm = parsePpm(logoPpmText(mask));
    ASSERT_EQ(ppm.header.size(), 4u);
    EXPECT_EQ(ppm.header[0], "P3");
    EXPECT_EQ(ppm.header[1].rfind('#', 0), 0u);
    EXPECT_EQ(ppm.header[2], "7 3");
    EXPECT_EQ(ppm.header[3], "255");
    ASSERT_EQ(ppm.values.size(), 7u * 3u * 3u);
    for (std::size_t pixel = 0; pixel < 21; ++pixel) {
        const bool black = pixel == 0 || pixel == 8;
        for (int c = 0; c < 3; ++c) EXPECT_EQ(ppm.values[pixel * 3 + static_cast<std::size_t>(c)], black ? 0 : 255);
    }
    EXPECT_LE(ppm.longestLine, static_cast<std::size_t>(kPpmPixelsPerLine) * 12);
}

TEST(ArtPpm, EndLogoIsBoldBlackTextInsideItsBounds) {
    const Mask mask = renderLogoMask(1280, 720);
    const PpmWords ppm = parsePpm(logoPpmText(mask));
    ASSERT_EQ(ppm.header.size(), 4u);
    EXPECT_EQ(ppm.header[2], "1280 720");
    ASSERT_EQ(ppm.values.size(), 1280u * 720u * 3u);

    const Bounds bounds = strokeBounds(logoStrokes());
    constexpr float kScale = 1280.0f / kReferenceWidth;
    int black = 0;
    for (int row = 0; row < 720; ++row) {
        for (int column = 0; column < 1280; ++column) {
            const int red = ppm.values[(static_cast<std::size_t>(row) * 1280 + static_cast<std::size_t>(column)) * 3];
            ASSERT_TRUE(red == 0 || red == 255);
            if (red != 0) continue;
            ++black;
            EXPECT_GE(static_cast<float>(column) + 1.0f, bounds.left * kScale);
            EXPECT_LE(static_cast<float>(column), bounds.right * kScale);
            EXPECT_GE(static_cast<float>(row) + 1.0f, bounds.top * kScale);
            EXPECT_LE(static_cast<float>(row), bounds.bottom * kScale);
        }
    }
    // Enough target pixels for 100000 particles to read as letters.
    EXPECT_GT(black, 30000);
    EXPECT_LT(black, 1280 * 720 / 4);
}

TEST(ArtLogo, PictureAndPpmShareOneLayout) {
    const Mask small = renderLogoMask(1280, 720);
    const Mask large = renderLogoMask(1920, 1080);
    int logoPixels = 0;
    int matched = 0;
    for (int row = 0; row < 720; ++row) {
        for (int column = 0; column < 1280; ++column) {
            if (coverageAt(small, column, row) < kLogoCoverageThreshold) continue;
            ++logoPixels;
            // The same spot of the 1.5 times larger picture.
            const int x = std::min(static_cast<int>((static_cast<float>(column) + 0.5f) * 1.5f), 1919);
            const int y = std::min(static_cast<int>((static_cast<float>(row) + 0.5f) * 1.5f), 1079);
            if (coverageAt(large, x, y) > 0.0f) ++matched;
        }
    }
    ASSERT_GT(logoPixels, 0);
    EXPECT_GT(static_cast<double>(matched) / logoPixels, 0.99);
}

TEST(ArtPictures, SpriteIsWhiteInTheMiddleAndBlackAtTheRim) {
    const Canvas sprite = makeParticleSprite(64);
    EXPECT_GT(pixelAt(sprite, 32, 32)[0], 0.95f);
    EXPECT_EQ(pixelAt(sprite, 0, 0)[0], 0.0f);
    // At the middle of each edge the glow has faded to (almost) nothing.
    const std::vector<std::uint8_t> bytes = canvasBytes(sprite, 3);
    EXPECT_LE(bytes[(32 * 64 + 63) * 3], 1);
    EXPECT_LE(bytes[(0 * 64 + 32) * 3], 1);
    EXPECT_GT(pixelAt(sprite, 40, 32)[0], pixelAt(sprite, 50, 32)[0]);
}

TEST(ArtPictures, DarkBackgroundStaysBelowTwentyOf255) {
    const Canvas canvas = makeDarkBackground(192, 108);
    const std::vector<std::uint8_t> bytes = canvasBytes(canvas, 3);
    EXPECT_LT(*std::max_element(bytes.begin(), bytes.end()), 20);
    EXPECT_GT(*std::max_element(bytes.begin(), bytes.end()), 5);
}

TEST(ArtPictures, OverlayIsMostlyLightSoItMultipliesGently) {
    const Canvas canvas = makeOverlayTexture(128);
    double sum = 0.0;
    int light = 0;
    const int pixels = 128 * 128;
    for (int i = 0; i < pixels; ++i) {
        const float v = canvas.pixels[static_cast<std::size_t>(i) * 4 + 1];
        sum += v;
        if (v >= 0.7f) ++light;
    }
    EXPECT_GT(sum / pixels, 0.75);
    EXPECT_LT(sum / pixels, 1.0);
    EXPECT_GT(light, pixels * 8 / 10);
    EXPECT_LT(light, pixels);  // it has darker structures
}

TEST(ArtPictures, SamePictureEveryTime) {
    EXPECT_EQ(canvasBytes(makeOverlayTexture(64), 3), canvasBytes(makeOverlayTexture(64), 3));
    EXPECT_EQ(canvasBytes(makeIntroFrame(7, 96, 54), 4), canvasBytes(makeIntroFrame(7, 96, 54), 4));
}

TEST(ArtIntro, FramesAreTransparentAroundTheDrawingAndChange) {
    const Canvas last = makeIntroFrame(kIntroFrameCount, 192, 108);
    int clear = 0;
    int solid = 0;
    for (std::size_t i = 3; i < last.pixels.size(); i += 4) {
        if (last.pixels[i] < 0.05f) ++clear;
        if (last.pixels[i] > 0.95f) ++solid;
    }
    EXPECT_GT(clear, 192 * 108 / 4);
    EXPECT_GT(solid, 0);
    EXPECT_NE(canvasBytes(makeIntroFrame(2, 192, 108), 4), canvasBytes(makeIntroFrame(3, 192, 108), 4));
    // Out-of-range numbers fall back to the nearest frame.
    EXPECT_EQ(canvasBytes(makeIntroFrame(99, 48, 27), 4), canvasBytes(makeIntroFrame(15, 48, 27), 4));
}

TEST(ArtIntro, PngKeepsSizeAndAlpha) {
    const std::filesystem::path path = std::filesystem::temp_directory_path() / "velkarn_art_test_intro.png";
    savePng(makeIntroFrame(5, 64, 36), path);
    SDL_Surface* surface = IMG_Load(path.string().c_str());
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(surface->w, 64);
    EXPECT_EQ(surface->h, 36);
    EXPECT_NE(surface->format->Amask, 0u);
    SDL_FreeSurface(surface);
    std::filesystem::remove(path);
    EXPECT_THROW(savePng(makeIntroFrame(5, 8, 8), "/nonexistent-dir/x.png"), std::runtime_error);
}

TEST(ArtLogo, EyeLidsMeetAtTheCornersAndCloseOntoEachOther) {
    EyeShape eye = logoEye();
    EXPECT_FLOAT_EQ(upperLidY(eye, eye.halfWidth), eye.centreY);
    EXPECT_FLOAT_EQ(lowerLidY(eye, -eye.halfWidth), eye.centreY);
    EXPECT_FLOAT_EQ(upperLidY(eye, 0.0f), eye.centreY - eye.upperLid);
    // The iris ring fits inside the opening, or the mark would not read as an eye.
    EXPECT_LT(eye.irisRadius + eye.line, std::min(eye.upperLid, eye.lowerLid));
    eye.upperLid = -eye.lowerLid;
    for (float dx : {-200.0f, 0.0f, 150.0f}) EXPECT_FLOAT_EQ(upperLidY(eye, dx), lowerLidY(eye, dx));
}

TEST(ArtLogo, TitleIsWrittenOutWithoutMovingItsLetters) {
    const std::vector<Capsule> full = logoStrokes(1 << 30, false);
    const std::vector<Capsule> three = logoStrokes(3, false);
    ASSERT_FALSE(three.empty());
    ASSERT_LT(three.size(), full.size());
    for (std::size_t i = 0; i < three.size(); ++i) EXPECT_FLOAT_EQ(three[i].x0, full[i].x0);
    EXPECT_TRUE(logoStrokes(0, false).empty());
    EXPECT_TRUE(logoStrokes(-5, false).empty());
    // The whole logo sits on the picture with a margin.
    const Bounds b = strokeBounds(logoStrokes());
    EXPECT_GT(b.left, 0.0f);
    EXPECT_GT(b.top, 0.0f);
    EXPECT_LT(b.right, kReferenceWidth);
    EXPECT_LT(b.bottom, kReferenceHeight);
    EXPECT_NEAR(0.5f * (b.left + b.right), 0.5f * kReferenceWidth, 2.0f);
}

TEST(ArtPictures, CreditsStayInTheShownLowerPart) {
    // Only rows below 0.4 of the height are ever on screen; above them is backdrop.
    const Canvas canvas = makeCreditsPicture(384, 216);
    float brightestHidden = 0.0f;
    float brightestShown = 0.0f;
    for (int y = 0; y < canvas.height; ++y) {
        for (int x = 0; x < canvas.width; ++x) {
            const float v = pixelAt(canvas, x, y)[1];
            float& brightest = y < canvas.height * 4 / 10 - 4 ? brightestHidden : brightestShown;
            brightest = std::max(brightest, v);
        }
    }
    EXPECT_LT(brightestHidden, 0.12f);
    EXPECT_GT(brightestShown, 0.8f);
}

TEST(ArtPictures, GradientRunsFromDarkTopToLightBottom) {
    const Canvas canvas = makeGradient(64, 36);
    const auto luma = [&](int y) {
        const float* p = pixelAt(canvas, 32, y);
        return p[0] + p[1] + p[2];
    };
    for (int y = 1; y < 36; ++y) EXPECT_GE(luma(y) + 1e-5f, luma(y - 1));
    EXPECT_LT(luma(0), 0.4f);
    EXPECT_GT(luma(35), 1.6f);
}
