// The image generator: the same files on every run, in forms the program reads, and no
// stray write whatever the coordinates. How the pictures look is not tested here.
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <limits>
#include <vector>

#include "assets.h"
#include "image_intro.h"
#include "image_logo.h"
#include "image_pictures.h"
#include "image_ppm.h"
#include "sim/particle_map.h"
#include "sim/ppm_reader.h"
#include "testing/scratch_files.h"

TEST(Art, SamePicturesEveryTime) {
    const std::function<Canvas()> makers[] = {
        [] { return makeOverlayTexture(64); },       [] { return makeParticleSprite(16); },
        [] { return makeDarkBackground(96, 54); },   [] { return makeGradient(96, 54); },
        [] { return makeDuskTint(96, 54); },         [] { return makeBandMask(96, 54); },
        [] { return makeBlobBackground(96, 54); },   [] { return makeCreditsPicture(96, 54); },
        [] { return makeGreetingsPicture(96, 54); }, [] { return makeEndLogoPicture(96, 54); },
        [] { return makeIntroFrame(7, 96, 54); },
    };
    for (const auto& make : makers) EXPECT_EQ(make().pixels, make().pixels);
}

// Out-of-range floats and coordinates: clamped or ignored, never a stray read or write.
TEST(Art, NothingStraysOutOfRange) {
    Canvas canvas = makeCanvas(4, 1, Rgba{0, 0, 0, 1});
    canvas.pixels[0] = 1.0f, canvas.pixels[4] = -3.0f, canvas.pixels[8] = 7.0f;
    canvas.pixels[12] = std::numeric_limits<float>::quiet_NaN();
    for (int channels : {3, 4}) {
        const std::vector<std::uint8_t> bytes = canvasBytes(canvas, channels);
        ASSERT_EQ(bytes.size(), static_cast<std::size_t>(4 * channels));
        for (int i = 0; i < 4; ++i) EXPECT_EQ(bytes[static_cast<std::size_t>(i * channels)], i % 2 == 0 ? 255 : 0) << i;
    }
    EXPECT_THROW(canvasBytes(canvas, 2), std::invalid_argument);
    Mask mask = makeMask(16, 8);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (const Capsule& c : {Capsule{-1e9f, -1e9f, 1e9f, 1e9f, 2.0f}, Capsule{nan, 0.0f, 4.0f, 4.0f, 2.0f},
                             Capsule{100.0f, 100.0f, 200.0f, 200.0f, 5.0f}}) {
        stampCapsule(mask, c);
    }
    EXPECT_TRUE(std::all_of(mask.coverage.begin(), mask.coverage.end(), [](float c) { return c >= 0 && c <= 1; }));
    blendPixel(canvas, -1, 5, Rgba{1, 1, 1, 1}, 1.0f);
    EXPECT_THROW(paintMask(canvas, mask, Rgba{1, 1, 1, 1}), std::invalid_argument);
    EXPECT_EQ(blurredMask(makeMask(2, 2), 5).coverage.size(), 4u);
}

// The logo the particles gather on, read back by the program's reader (column-major):
// black where the logo is, white elsewhere, and some of it black.
TEST(Art, LogoPpmIsReadableAndBlackWhereTheLogoIs) {
    const Mask mask = renderLogoMask(kLogoWidth, kLogoHeight);
    std::vector<int> grid(static_cast<std::size_t>(kLogoWidth) * kLogoHeight);
    std::string error;
    ASSERT_TRUE(parsePpmRedChannel(logoPpmText(mask), kLogoHeight, kLogoWidth, grid, error)) << error;
    std::size_t black = 0;
    for (std::size_t i = 0; i < grid.size(); ++i) {
        const std::size_t column = i / kLogoHeight, row = i % kLogoHeight;
        const bool logo = mask.coverage[row * kLogoWidth + column] >= kLogoCoverageThreshold;
        ASSERT_EQ(grid[i], logo ? 0 : 255) << column << ", " << row;
        black += logo;
    }
    EXPECT_GT(black, 0u);
}

// The build deletes a particle-map cache beside a logo it changes, and keeps it beside the same logo.
TEST(Art, ANewLogoTakesTheOldParticleMapAway) {
    const testfiles::ScratchDir run;
    std::filesystem::create_directories(run.path() / "dat");
    const std::string cache = run.file("dat/p-particlemap.dat");
    testfiles::writeFile(run.file("dat/logoend.ppm"), "P3\n1 1\n255\n0 0 0\n");
    testfiles::writeFile(cache, "a map\n");
    generateLogo(run.path());
    EXPECT_FALSE(std::filesystem::exists(cache));
    testfiles::writeFile(cache, "a map\n");
    generateLogo(run.path());
    EXPECT_TRUE(std::filesystem::exists(cache));
}

TEST(Art, IntroPngKeepsSizeAndAlpha) {
    const std::filesystem::path path = std::filesystem::temp_directory_path() / "velkarn_art_test_intro.png";
    savePng(makeIntroFrame(5, 64, 36), path);
    const std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)> surface(IMG_Load(path.c_str()), &SDL_FreeSurface);
    std::filesystem::remove(path);
    ASSERT_NE(surface, nullptr);
    EXPECT_TRUE(surface->w == 64 && surface->h == 36 && surface->format->Amask != 0);
    EXPECT_THROW(savePng(makeIntroFrame(5, 8, 8), "/nonexistent-dir/x.png"), std::runtime_error);
}
