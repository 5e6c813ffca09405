#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "fluid/ppm_reader.h"
#include "fluid/random.h"
#include "testing/fluid_support.h"

namespace {

using fluidtest::readFile;
using fluidtest::writeFile;

bool contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

// A plain PPM of the given size whose pixels are black where isBlack(column, row) holds.
template <typename BlackFn>
std::string makePpm(int width, int rows, BlackFn isBlack) {
    std::string text = "P3\n# made by the test\n" + std::to_string(width) + " " + std::to_string(rows) + "\n255\n";
    text.reserve(text.size() + static_cast<std::size_t>(width) * rows * 6);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < width; ++c) text += isBlack(c, r) ? "0 0 0\n" : "9 9 9\n";
    }
    return text;
}

TEST(ParticleMapPpm, ReadsTheRedChannelColumnMajor) {
    const std::string text = "P3\n# comment\n3 2\n255\n1 2 3  4 5 6\n7 8 9\n10 11 12\t13 14 15 16 17 18\n";
    std::vector<int> grid(6, -1);
    std::string error;
    ASSERT_TRUE(parsePpmRedChannel(text, 2, 3, grid, error)) << error;
    // grid[c * rows + r]
    EXPECT_EQ(grid, (std::vector<int>{1, 10, 4, 13, 7, 16}));
}

TEST(ParticleMapPpm, HeaderIsFourLinesUninterpreted) {
    // The size line is not read: whatever it says, four lines are skipped.
    const std::string text = "P3\n#\n999 999\n255\n0 0 0 5 5 5\n";
    std::vector<int> grid(2, -1);
    std::string error;
    ASSERT_TRUE(parsePpmRedChannel(text, 1, 2, grid, error));
    EXPECT_EQ(grid, (std::vector<int>{0, 5}));
    EXPECT_FALSE(parsePpmRedChannel("P3\n#\n1 1\n", 1, 1, grid, error));
    EXPECT_TRUE(contains(error, "header"));
}

TEST(ParticleMapPpm, RejectsTruncatedAndMalformedPixels) {
    std::vector<int> grid(4);
    std::string error;
    EXPECT_FALSE(parsePpmRedChannel("P3\n#\n2 2\n255\n1 1 1 2 2 2 3 3 3 4 4\n", 2, 2, grid, error));
    EXPECT_TRUE(contains(error, "3 of 4 pixels")) << error;
    EXPECT_FALSE(parsePpmRedChannel("P3\n#\n2 2\n255\n1 1 1 2 x 2 3 3 3 4 4 4\n", 2, 2, grid, error));
    EXPECT_TRUE(contains(error, "not a decimal number")) << error;
    EXPECT_FALSE(parsePpmRedChannel("P3\n#\n2 2\n255\n1 1 1 -2 2 2 3 3 3 4 4 4\n", 2, 2, grid, error));
    EXPECT_FALSE(parsePpmRedChannel("P3\n#\n2 2\n255\n1 1 1 99999999999999 2 2 3 3 3 4 4 4\n", 2, 2, grid, error));
    EXPECT_TRUE(contains(error, "above 65535")) << error;
    // A grid too small for the image is refused before anything is written.
    std::vector<int> small(3);
    EXPECT_FALSE(parsePpmRedChannel("P3\n#\n2 2\n255\n", 2, 2, small, error));
}

TEST(ParticleMapPpmDeathTest, MissingImageEndsWithStatusOne) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    std::vector<int> grid(4);
    // The message goes to standard output; send that to standard error to match it.
    EXPECT_EXIT((dup2(2, 1), readPpmRedChannel("/nonexistent/logoend.ppm", 2, 2, grid)),
                ::testing::ExitedWithCode(1), "Cannot open the file: /nonexistent/logoend.ppm");
}

TEST(ParticleMapPpmDeathTest, MalformedImageNamesItself) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    fluidtest::ScratchDir dir;
    const std::string path = dir.file("short.ppm");
    writeFile(path, "P3\n#\n2 2\n255\n1 1 1\n");
    std::vector<int> grid(4);
    EXPECT_EXIT(readPpmRedChannel(path.c_str(), 2, 2, grid), ::testing::ExitedWithCode(1),
                "short.ppm: malformed image: the image ends after 1 of 4 pixels");
}

// The full-size map: one generated logo shared by the tests, and a scratch cache each.
class ParticleMap : public ::testing::Test {
protected:
    fluidtest::SavedFluidState saved;
    fluidtest::ScratchDir dir;
    std::string cache = dir.file("p-particlemap.dat");

    static fluidtest::ScratchDir* images;
    static std::string ringLogo;    // a black ring
    static std::string cornerLogo;  // only the top-left pixel and the pixel at (640, 360)
    static std::string whiteLogo;   // no black pixel at all

    static void SetUpTestSuite() {
        images = new fluidtest::ScratchDir;
        ringLogo = images->file("ring.ppm");
        cornerLogo = images->file("corner.ppm");
        whiteLogo = images->file("white.ppm");
        writeFile(ringLogo, makePpm(kLogoWidth, kLogoHeight, [](int c, int r) {
                      const int d2 = (c - 640) * (c - 640) + (r - 360) * (r - 360);
                      return d2 > 100 * 100 && d2 < 200 * 200;
                  }));
        writeFile(cornerLogo, makePpm(kLogoWidth, kLogoHeight, [](int c, int r) {
                      return (c == 0 && r == 0) || (c == 640 && r == 360);
                  }));
        writeFile(whiteLogo, makePpm(kLogoWidth, kLogoHeight, [](int, int) { return false; }));
    }
    static void TearDownTestSuite() {
        delete images;
        images = nullptr;
    }

    void SetUp() override {
        particleTargets.fill({-1.0f, -1.0f});
        logoPixels.fill(0);
        seedRandom(500);
    }

    static bool onBlackPixel(const ParticlePosition& p) {
        const int column = static_cast<int>(std::lround(p.x * kLogoWidth));
        const int row = static_cast<int>(std::lround((1.0f - p.y) * kLogoHeight));
        if (column < 0 || column >= kLogoWidth || row < 0 || row >= kLogoHeight) return false;
        const int d2 = (column - 640) * (column - 640) + (row - 360) * (row - 360);
        return d2 > 100 * 100 && d2 < 200 * 200;
    }

    // A cache text with the given header, count word and number of pairs.
    static std::string cacheText(const std::string& header, const std::string& count, int pairs) {
        std::string text = header + "\n" + count + "\n";
        for (int i = 0; i < pairs; ++i) text += "0.5 0.25\n";
        return text + "kocham plinkora\n";
    }

    // Loads with the ring logo and reports whether the cache was taken as it was.
    bool cacheWasUsed(const std::string& text) {
        writeFile(cache, text);
        testing::internal::CaptureStderr();
        loadParticleMapFrom(cache.c_str(), ringLogo.c_str());
        const std::string err = testing::internal::GetCapturedStderr();
        const bool used = particleTargets[0].x == 0.5f && particleTargets[kMaxParticles - 1].y == 0.25f;
        if (!used) {
            EXPECT_TRUE(contains(err, "incomplete or unreadable")) << err;
            EXPECT_TRUE(onBlackPixel(particleTargets[0]));
            EXPECT_TRUE(onBlackPixel(particleTargets[kMaxParticles - 1]));
            // The cache was rewritten whole.
            std::vector<ParticlePosition> reread(kMaxParticles);
            EXPECT_TRUE(parseParticleCache(readFile(cache), std::span<ParticlePosition, kMaxParticles>(reread)));
        }
        return used;
    }
};

fluidtest::ScratchDir* ParticleMap::images = nullptr;
std::string ParticleMap::ringLogo;
std::string ParticleMap::cornerLogo;
std::string ParticleMap::whiteLogo;

TEST_F(ParticleMap, BuildPutsEveryTargetOnABlackPixel) {
    loadParticleMapFrom(cache.c_str(), ringLogo.c_str());
    for (const ParticlePosition& p : particleTargets) ASSERT_TRUE(onBlackPixel(p)) << p.x << ", " << p.y;
    EXPECT_EQ(logoPixel(640, 360), 9);  // the image stays in memory after a build
    EXPECT_EQ(logoPixel(640, 360 - 150), 0);
}

TEST_F(ParticleMap, CornerPixelsMapToTheirUnitSquarePoints) {
    loadParticleMapFrom(cache.c_str(), cornerLogo.c_str());
    int corner = 0;
    int centre = 0;
    for (const ParticlePosition& p : particleTargets) {
        if (p.x == 0.0f && p.y == 1.0f) ++corner;
        if (p.x == 0.5f && p.y == 0.5f) ++centre;
    }
    EXPECT_EQ(corner + centre, kMaxParticles);
    EXPECT_GT(corner, 40000);
    EXPECT_GT(centre, 40000);
}

TEST_F(ParticleMap, CacheGivesTheSameTargetsWithoutDrawing) {
    loadParticleMapFrom(cache.c_str(), ringLogo.c_str());
    const auto built = particleTargets;
    const std::string text = readFile(cache);
    EXPECT_EQ(text.substr(0, text.find('\n')), "npar<endl>parx pary<endl>parx pary ...");
    EXPECT_EQ(text.substr(text.size() - 16), "kocham plinkora\n");

    particleTargets.fill({-1.0f, -1.0f});
    logoPixels.fill(0);
    seedRandom(123);
    loadParticleMapFrom(cache.c_str(), "/nonexistent/logo.ppm");  // the image is not needed
    for (std::size_t i = 0; i < built.size(); ++i) {
        ASSERT_NEAR(particleTargets[i].x, built[i].x, 1e-6f) << i;
        ASSERT_NEAR(particleTargets[i].y, built[i].y, 1e-6f) << i;
    }
    EXPECT_EQ(logoPixel(640, 360), 0);  // nothing read from the image
    const int next = rand15();
    seedRandom(123);
    EXPECT_EQ(next, rand15());  // and nothing drawn
}

TEST_F(ParticleMap, BuildIsDeterministicForTheSeed) {
    loadParticleMapFrom(cache.c_str(), ringLogo.c_str());
    const std::string first = readFile(cache);
    std::remove(cache.c_str());
    seedRandom(500);
    loadParticleMapFrom(cache.c_str(), ringLogo.c_str());
    EXPECT_EQ(readFile(cache), first);
}

TEST_F(ParticleMap, LargerCountReadsExactlyTheFullMap) {
    EXPECT_TRUE(cacheWasUsed(cacheText("h", "250000", kMaxParticles)));
}

TEST_F(ParticleMap, ShortOrBrokenCachesAreRebuilt) {
    EXPECT_FALSE(cacheWasUsed(cacheText("h", "100000", kMaxParticles - 1)));  // fewer pairs than said
    EXPECT_FALSE(cacheWasUsed(cacheText("h", "99999", 99999)));               // a count below the map
    EXPECT_FALSE(cacheWasUsed(cacheText("h", "0", 0)));
    EXPECT_FALSE(cacheWasUsed(cacheText("h", "-5", kMaxParticles)));
    EXPECT_FALSE(cacheWasUsed(cacheText("h", "many", kMaxParticles)));
    EXPECT_FALSE(cacheWasUsed(cacheText(std::string(255, 'h'), "100000", kMaxParticles)));
    EXPECT_FALSE(cacheWasUsed("no line break at all"));
    std::string corrupt = cacheText("h", "100000", kMaxParticles);
    corrupt.replace(corrupt.find("0.5 0.25", 5000), 3, "0.x");
    EXPECT_FALSE(cacheWasUsed(corrupt));
}

TEST_F(ParticleMap, HeaderOf254CharactersIsFine) {
    EXPECT_TRUE(cacheWasUsed(cacheText(std::string(254, 'h'), "100000", kMaxParticles)));
}

TEST_F(ParticleMap, UnwritableCacheKeepsTheMapAndSaysSoOnce) {
    const std::string unwritable = dir.file("missing-dir/p-particlemap.dat");
    testing::internal::CaptureStderr();
    loadParticleMapFrom(unwritable.c_str(), ringLogo.c_str());
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(onBlackPixel(particleTargets[0]));
    EXPECT_TRUE(contains(err, "Cannot write")) << err;
    EXPECT_EQ(err.find("Cannot write"), err.rfind("Cannot write"));
}

TEST_F(ParticleMap, WrittenCacheParsesBack) {
    for (int i = 0; i < kMaxParticles; ++i) {
        particleTargets[static_cast<std::size_t>(i)] = {static_cast<float>(i % 1280) / 1280.0f,
                                                        1.0f - static_cast<float>(i % 720) / 720.0f};
    }
    const auto written = particleTargets;
    const std::string text = formatParticleCache(particleTargets);
    EXPECT_TRUE(contains(text, "\n100000\n0 1\n"));  // general notation, no trailing zeros
    std::vector<ParticlePosition> parsed(kMaxParticles);
    ASSERT_TRUE(parseParticleCache(text, std::span<ParticlePosition, kMaxParticles>(parsed)));
    for (std::size_t i = 0; i < parsed.size(); ++i) {
        // Six significant digits: within half a unit of the sixth.
        ASSERT_NEAR(parsed[i].x, written[i].x, 5.01e-6f * written[i].x) << i;
        ASSERT_NEAR(parsed[i].y, written[i].y, 5.01e-6f * written[i].y) << i;
    }
}

TEST_F(ParticleMap, MissingImageWithoutCacheEndsWithStatusOne) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT((dup2(2, 1), loadParticleMapFrom(cache.c_str(), "/nonexistent/logoend.ppm")),
                ::testing::ExitedWithCode(1), "Cannot open the file: /nonexistent/logoend.ppm");
}

TEST_F(ParticleMap, LogoWithoutBlackPixelsEndsTheBuild) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(loadParticleMapFrom(cache.c_str(), whiteLogo.c_str()), ::testing::ExitedWithCode(1),
                "white.ppm: the logo has no black pixel");
}

}  // namespace
