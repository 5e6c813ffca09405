#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "base/random.h"
#include "sim/ppm_reader.h"
#include "testing/fluid_support.h"
#include "testing/scratch_files.h"

namespace {

using testfiles::writeFile;

TEST(ParticleMapPpm, ReadsTheRedChannelOrSaysWhatIsWrong) {
    // The error is a part of the message, "" for a good text; the grid is column-major.
    struct Case {
        const char* text;
        int rows, width;
        const char* error;
        std::vector<int> grid;
    };
    const Case cases[] = {
        {"P3\n# c\n3 2\n255\n1 2 3  4 5 6\n7 8 9\n10 11 12\t13 14 15 16 17 18\n", 2, 3, "", {1, 10, 4, 13, 7, 16}},
        {"P3\n#\n999 999\n255\n0 0 0 5 5 5\n", 1, 2, "", {0, 5}},  // the size line is not read
        {"P3\n#\n1 1\n", 1, 1, "header", {}},
        {"P3\n#\n2 2\n255\n1 1 1 2 2 2 3 3 3 4 4\n", 2, 2, "3 of 4 pixels", {}},
        {"P3\n#\n2 2\n255\n1 1 1 2 x 2 3 3 3 4 4 4\n", 2, 2, "not a decimal number", {}},
        {"P3\n#\n2 2\n255\n1 1 1 -2 2 2 3 3 3 4 4 4\n", 2, 2, "not a decimal number", {}},
        {"P3\n#\n2 2\n255\n1 1 1 99999999999999 2 2 3 3 3 4 4 4\n", 2, 2, "above 65535", {}},
        {"P3\n#\n2 2\n255\n1 1 1 99999x 2 2 3 3 3 4 4 4\n", 2, 2, "not a decimal number", {}},  // whole word first
        {"P3\n#\n2 3\n255\n", 2, 3, "does not fit", {}},  // a grid too small for the image
    };
    for (const Case& c : cases) {
        std::vector<int> grid(c.grid.empty() ? 4 : c.grid.size(), -1);
        std::string error;
        EXPECT_EQ(parsePpmRedChannel(c.text, c.rows, c.width, grid, error), *c.error == '\0') << c.text;
        EXPECT_NE(error.find(c.error), std::string::npos) << c.text << " gave: " << error;
        EXPECT_TRUE(c.grid.empty() || grid == c.grid) << c.text;
    }
}

class ParticleMap : public ::testing::Test {
protected:
    fluidtest::SavedFluidState saved;
    testfiles::ScratchDir dir;
    std::string cache = dir.file("p-particlemap.dat");
    std::string logo = dir.file("logo.ppm");
    void SetUp() override { writeFile(logo, logoText(false)); }

    // A full-size logo, black at the top-left pixel, the middle and the bottom-right one.
    static std::string logoText(bool white) {
        std::string text = "P3\n# made by the test\n1280 720\n255\n";
        for (int pixel = 0; pixel < kLogoWidth * kLogoHeight; ++pixel) {
            text += !white && (pixel == 0 || pixel == 360 * 1280 + 640 || pixel == 720 * 1280 - 1) ? "0 0 0\n"
                                                                                                   : "9 9 9\n";
        }
        return text;
    }

    // Every target on one of those pixels (x = column / 1280, y = 1 - row / 720, to the
    // cache's six digits), each drawn.
    static void expectOnTheLogo() {
        const ParticlePosition points[] = {{0.0f, 1.0f}, {0.5f, 0.5f}, {1279.0f / 1280.0f, 1.0f - 719.0f / 720.0f}};
        const auto near = [](float a, float b) { return std::abs(a - b) <= 1e-6f; };
        int hits[3] = {};
        for (const ParticlePosition& p : particleMap.particleTargets) {
            int n = 0;
            while (n < 3 && !(near(p.x, points[n].x) && near(p.y, points[n].y))) ++n;
            ASSERT_LT(n, 3) << p.x << ", " << p.y;
            ++hits[n];
        }
        for (int n : hits) EXPECT_GT(n, 30000);
    }
};

TEST_F(ParticleMap, ARunThatBuildsTheMapGoesOnAsOneThatReadsItsCache) {
    // What the rest of the run sees: the targets bit for bit, the logo pixels and the
    // next random numbers (the particles' scatter).
    struct After {
        std::array<ParticlePosition, kMaxParticles> targets;
        bool logoClear;
        std::array<int, 3> nextRandom;
    };
    const auto load = [&](const char* image) {
        particleMap.logoPixels.fill(0);
        seedRandom(500);
        loadParticleMapFrom(cache.c_str(), image);
        const After after{particleMap.particleTargets,
                          std::ranges::all_of(particleMap.logoPixels, [](int p) { return p == 0; }),
                          {rand15(), rand15(), rand15()}};
        particleMap.particleTargets.fill({-1.0f, -1.0f});
        return after;
    };
    const After built = load(logo.c_str());
    const After read = load("/nonexistent/logo.ppm");  // nothing read from the image
    seedRandom(500);
    const std::array<int, 3> unused = {rand15(), rand15(), rand15()};
    particleMap.particleTargets = built.targets;
    expectOnTheLogo();
    EXPECT_TRUE(built.logoClear);
    EXPECT_EQ(std::memcmp(built.targets.data(), read.targets.data(), sizeof built.targets), 0);
    EXPECT_EQ(built.nextRandom, unused);
    EXPECT_EQ(read.nextRandom, unused);
}

TEST_F(ParticleMap, CacheIsTakenOnlyWholeElseRebuilt) {
    // The header's length (0: no line break at all), the count word, the number of pairs (-1: the full
    // map with a broken pair in the middle) and whether the cache is used.
    struct Case {
        std::size_t header;
        const char* count;
        int pairs;
        bool used;
    };
    const Case cases[] = {
        {1, "100000", kMaxParticles, true},
        {254, "250000", kMaxParticles, true},  // a larger count reads the map
        {255, "100000", kMaxParticles, false},
        {1, "100000", kMaxParticles - 1, false},
        {1, "99999", 99999, false},
        {1, "-5", kMaxParticles, false},
        {1, "many", kMaxParticles, false},
        {0, "", 0, false},
        {1, "100000", -1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "header " << c.header << ", count " << c.count << ", pairs " << c.pairs);
        std::string text = c.header == 0 ? "no line break" : std::string(c.header, 'h') + "\n" + c.count + "\n";
        for (int i = 0; i < (c.pairs < 0 ? kMaxParticles : c.pairs); ++i) text += "0.5 0.25\n";
        if (c.pairs < 0) text.replace(text.find("0.5 0.25", 5000), 3, "0.x");
        writeFile(cache, text + "kocham plinkora\n");
        testing::internal::CaptureStderr();
        loadParticleMapFrom(cache.c_str(), logo.c_str());
        const std::string err = testing::internal::GetCapturedStderr();
        if (c.used) {
            EXPECT_TRUE(particleMap.particleTargets[0].x == 0.5f &&
                        particleMap.particleTargets[kMaxParticles - 1].y == 0.25f);
            continue;
        }
        // Sampled again, said so, and the cache rewritten whole.
        EXPECT_NE(err.find("incomplete or unreadable"), std::string::npos) << err;
        expectOnTheLogo();
        std::vector<ParticlePosition> reread(kMaxParticles);
        EXPECT_TRUE(parseParticleCache(testfiles::readFile(cache), std::span<ParticlePosition, kMaxParticles>(reread)));
    }
}

// (No image at all: e2e hardening_files.)
TEST_F(ParticleMap, ABrokenImageOrOneWithoutBlackEndsWithStatusOne) {
    writeFile(dir.file("short.ppm"), "P3\n#\n2 2\n255\n1 1 1\n");
    writeFile(dir.file("white.ppm"), logoText(true));
    const std::pair<std::string, std::string> cases[] = {
        {dir.file("short.ppm"), "short.ppm: malformed image: the image ends after 1 of 921600 pixels"},
        {dir.file("white.ppm"), "white.ppm: the logo has no black pixel"},
    };
    for (const auto& [image, message] : cases) {
        EXPECT_EXIT((dup2(2, 1), loadParticleMapFrom(cache.c_str(), image.c_str())), testing::ExitedWithCode(1),
                    message);
    }
}

}  // namespace

TEST(ParticleMapName, TheUserCacheIsNamedForItsLogo) {
    const std::string logo = "P3\n1280 720\n255\n0 0 0\n";
    std::string changed = logo;
    changed[changed.size() - 2] = '9';  // one pixel differs
    const std::string name = userParticleCacheName(logo);
    EXPECT_EQ(name, userParticleCacheName(logo));
    EXPECT_NE(name, userParticleCacheName(changed));
    EXPECT_NE(name, userParticleCacheName(logo + "\n"));
    EXPECT_EQ(name.size(), std::string("p-particlemap-0123456789abcdef.dat").size()) << name;
    EXPECT_EQ(name.rfind("p-particlemap-", 0), 0u) << name;
}
