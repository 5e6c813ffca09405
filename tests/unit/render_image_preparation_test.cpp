// The worker hand-over: images taken in any order, also ones never queued or unreadable,
// each the same as prepared on the taker's own thread; and the mip arithmetic's sizes.
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_image.h>

#include <memory>
#include <string>
#include <vector>

#include "render/image_preparation.h"
#include "render/mip_chain.h"
#include "testing/scratch_files.h"

namespace {

TEST(RenderMipChain, SidesRoundAsGluRoundsThem) {
    const struct {
        unsigned int side;
        int power;
    } cases[] = {{0, 0}, {1, 1}, {2, 2}, {3, 4}, {5, 4}, {6, 8}, {7, 8}, {11, 8}, {12, 16},
                 {720, 512}, {768, 1024}, {1080, 1024}, {1280, 1024}, {1536, 2048}, {1920, 2048}, {16384, 16384}};
    for (const auto& c : cases) EXPECT_EQ(nearestPowerOfTwo(c.side), c.power) << c.side;

    const struct {
        int width, height, maxSide, baseWidth, baseHeight;
    } sizes[] = {
        {1920, 1080, 16384, 2048, 1024}, {1920, 1080, 1024, 1024, 512}, {1920, 1080, 512, 512, 256},
        {4000, 3, 1024, 1024, 1},        {1, 1, 1, 1, 1},               {3, 100, 64, 2, 64},
    };
    for (const auto& s : sizes) {
        const TextureSize base = mipBaseSize(s.width, s.height, s.maxSide);
        EXPECT_EQ(base.width, s.baseWidth) << s.width << " x " << s.height << " under " << s.maxSide;
        EXPECT_EQ(base.height, s.baseHeight) << s.width << " x " << s.height << " under " << s.maxSide;
    }
}

TEST(RenderMipChain, LevelsHalveDownToOnePixelAndOddInputIsRefused) {
    ImagePixels image{6, 3, 3, std::vector<std::uint8_t>(6 * 3 * 3, 200)};
    const MipChain chain = buildMipChain(image, 16384);
    ASSERT_EQ(chain.levels.size(), 4u);  // 8x4, 4x2, 2x1, 1x1
    EXPECT_EQ(chain.levels[0].width, 8);
    EXPECT_EQ(chain.levels[0].height, 4);
    EXPECT_EQ(chain.levels[3].width, 1);
    EXPECT_EQ(chain.levels[3].bytes, (std::vector<std::uint8_t>{200, 200, 200}));

    image.bytes.pop_back();  // one byte short
    EXPECT_TRUE(buildMipChain(image, 16384).levels.empty());
    EXPECT_TRUE(buildMipChain(ImagePixels{2, 2, 2, std::vector<std::uint8_t>(8)}, 16384).levels.empty());
}

class RenderImagePreparation : public ::testing::Test {
protected:
    void TearDown() override { stopPreparingImages(); }

    // A width x 5 picture of one grey level.
    std::string writePicture(int index, int width) {
        std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)> s(
            SDL_CreateRGBSurfaceWithFormat(0, width, 5, 24, SDL_PIXELFORMAT_RGB24), &SDL_FreeSurface);
        const auto grey = static_cast<Uint8>(10 * index);
        SDL_FillRect(s.get(), nullptr, SDL_MapRGB(s->format, grey, grey, grey));
        const std::string path = dir.file("p" + std::to_string(index) + ".png");
        EXPECT_EQ(IMG_SavePNG(s.get(), path.c_str()), 0);
        return path;
    }

    const testfiles::ScratchDir dir;
};

TEST_F(RenderImagePreparation, ImagesTakenInAnyOrderAreTheOnesPreparedHere) {
    std::vector<std::string> names;
    std::vector<std::string> paths;
    for (int i = 0; i < 12; ++i) {
        names.push_back("n" + std::to_string(i));
        paths.push_back(writePicture(i, 40 + i));
    }
    names.emplace_back("broken");
    paths.push_back(dir.file("broken.png"));
    testfiles::writeFile(paths.back(), "\x89PNG\r\n\x1a\n then nothing");

    startPreparingImages(4096);
    prepareImagesAhead(names, paths);
    prepareImagesAhead(names, paths);  // queued once only
    // Backwards: the last ones wait behind the limit of ready images until the first are taken.
    for (std::size_t i = names.size(); i-- > 0;) {
        const PreparedImage taken = takePreparedImage(names[i], paths[i], 4096);
        const PreparedImage here = prepareImage(paths[i], 4096);
        SCOPED_TRACE(names[i]);
        EXPECT_EQ(taken.error, here.error);
        ASSERT_EQ(taken.chain.levels.size(), here.chain.levels.size());
        for (std::size_t l = 0; l < here.chain.levels.size(); ++l) {
            EXPECT_EQ(taken.chain.levels[l].bytes, here.chain.levels[l].bytes);
        }
    }
    EXPECT_TRUE(takePreparedImage("broken", paths.back(), 4096).chain.levels.empty());
    EXPECT_FALSE(takePreparedImage("broken", paths.back(), 4096).error.empty());
    // Taken once already, and never queued: both prepared on this thread.
    EXPECT_EQ(takePreparedImage(names[0], paths[0], 4096).chain.levels.size(), 6u);  // 32x4 .. 1x1
    EXPECT_EQ(takePreparedImage("other", paths[1], 4096).chain.levels[0].bytes[0], 10);
}

TEST_F(RenderImagePreparation, StoppingWithImagesNotTakenEndsTheWorkers) {
    std::vector<std::string> names;
    std::vector<std::string> paths;
    for (int i = 0; i < 20; ++i) {
        names.push_back("n" + std::to_string(i));
        paths.push_back(writePicture(i, 300));
    }
    startPreparingImages(4096);
    prepareImagesAhead(names, paths);
    EXPECT_EQ(takePreparedImage(names[3], paths[3], 4096).chain.levels[0].bytes[0], 30);
    stopPreparingImages();
    EXPECT_TRUE(imagePreparation.workers.empty());
    EXPECT_TRUE(imagePreparation.jobs.empty());
    // With no workers any more, an image is still prepared, here.
    EXPECT_EQ(takePreparedImage(names[5], paths[5], 4096).chain.levels[0].bytes[0], 50);
}

}  // namespace
