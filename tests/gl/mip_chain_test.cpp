// The prepared mip levels against GLU's own: the demo's every image and pictures of odd
// sizes go through gluBuild2DMipmaps and through buildMipChain, and the driver's texels
// are read back and compared level by level.
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/gl.h"
#include "render/image_pixels.h"
#include "render/image_preparation.h"
#include "render/layer_list.h"
#include "render/mip_chain.h"
#include "render/textures.h"
#include "testing/gl_context.h"

namespace {

struct SurfaceFree {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};

std::vector<std::uint8_t> readLevel(GLuint texture, int level, int components, int& width, int& height) {
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &height);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) *
                                    static_cast<std::size_t>(components));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, level, components == 4 ? GL_RGBA : GL_RGB, GL_UNSIGNED_BYTE, bytes.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    return bytes;
}

GLuint newTexture() {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    return texture;
}

// Builds the image with GLU and compares every level it made, and the count of levels, with
// the chain (buildMipChain's own when none is given).
void expectSameAsGlu(const ImagePixels& image, const std::string& what, const MipChain* prepared = nullptr) {
    SCOPED_TRACE(what);
    GLint maxSide = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSide);
    const GLenum format = image.components == 4 ? GL_RGBA : GL_RGB;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    const GLuint glu = newTexture();
    ASSERT_EQ(gluBuild2DMipmaps(GL_TEXTURE_2D, image.components, image.width, image.height, format, GL_UNSIGNED_BYTE,
                                image.bytes.data()),
              0);
    const MipChain chain = prepared != nullptr ? *prepared : buildMipChain(image, maxSide);
    const GLuint ours = newTexture();
    for (std::size_t level = 0; level < chain.levels.size(); ++level) {
        const MipLevel& l = chain.levels[level];
        glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), image.components, l.width, l.height, 0, format,
                     GL_UNSIGNED_BYTE, l.bytes.data());
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);

    std::size_t gluLevels = 0;
    for (int level = 0;; ++level) {
        int width = 0, height = 0;
        const std::vector<std::uint8_t> expected = readLevel(glu, level, image.components, width, height);
        if (width == 0) break;
        ++gluLevels;
        ASSERT_LT(static_cast<std::size_t>(level), chain.levels.size());
        int ourWidth = 0, ourHeight = 0;
        const std::vector<std::uint8_t> actual = readLevel(ours, level, image.components, ourWidth, ourHeight);
        ASSERT_EQ(ourWidth, width) << "level " << level;
        ASSERT_EQ(ourHeight, height) << "level " << level;
        std::size_t differing = 0;
        std::size_t first = 0;
        for (std::size_t i = 0; i < expected.size(); ++i) {
            if (expected[i] != actual[i] && differing++ == 0) first = i;
        }
        EXPECT_EQ(differing, 0u) << "level " << level << " (" << width << " x " << height << "), first at byte "
                                 << first;
        if (width == 1 && height == 1) break;
    }
    EXPECT_EQ(gluLevels, chain.levels.size());
    glDeleteTextures(1, &glu);
    glDeleteTextures(1, &ours);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

ImagePixels decode(const std::string& path) {
    const std::unique_ptr<SDL_Surface, SurfaceFree> surface(IMG_Load(path.c_str()));
    EXPECT_TRUE(surface) << path << ": " << IMG_GetError();
    if (!surface) return {};
    std::optional<ImagePixels> image = convertSurfacePixels(surface.get());
    EXPECT_TRUE(image) << path;
    return image ? std::move(*image) : ImagePixels{};
}

// A picture with a different value in every byte, so that a misplaced weight shows.
ImagePixels pattern(int width, int height, int components) {
    ImagePixels image{width, height, components, {}};
    image.bytes.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) *
                       static_cast<std::size_t>(components));
    std::uint32_t state = 12345;
    for (std::uint8_t& byte : image.bytes) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<std::uint8_t>(state >> 23);
    }
    // Full white rows and columns: a sum of weights just over the box's area must not wrap.
    for (int x = 0; x < width; ++x) {
        for (int k = 0; k < components; ++k) image.bytes[static_cast<std::size_t>(x * components + k)] = 255;
    }
    return image;
}

class MipChainGl : public ::testing::Test {
protected:
    static void SetUpTestSuite() { gltest::ensureContext(); }
    void SetUp() override { gltest::drainGlErrors(); }
};

TEST_F(MipChainGl, EveryImageOfTheDemoHasGlusTexelsAtEveryLevel) {
    std::vector<std::string> files;
    for (const ImageSlot& slot : kImageSlots) files.emplace_back(slot.file);
    for (int i = 1; i <= 15; ++i) files.push_back("dat/intro_oneeyewhore_" + std::to_string(i) + ".png");
    // The layer list's own pictures.
    const std::optional<LayerReadResult> layerList = readLayerFile("dat/p-blend.dat");
    ASSERT_TRUE(layerList) << "no dat/p-blend.dat";
    for (std::string& name : layerImageNames(layerList->groups)) {
        if (std::find(files.begin(), files.end(), name) == files.end()) files.push_back(std::move(name));
    }
    GLint maxSide = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSide);
    for (const std::string& file : files) {
        const ImagePixels image = decode(file);
        if (image.width == 0) continue;
        // As the workers prepare it: from the decoder's pixels where they are packed already.
        const PreparedImage prepared = prepareImage(file, maxSide);
        EXPECT_EQ(prepared.error, "") << file;
        expectSameAsGlu(image, file, &prepared.chain);
    }
}

TEST_F(MipChainGl, OddSizesHaveGlusTexelsAtEveryLevel) {
    const struct {
        int width, height, components;
    } cases[] = {
        {1, 1, 3},    {1, 1, 4},    {2, 1, 3},     {1, 7, 4},     {9, 1, 3},    {3, 5, 4},
        {5, 3, 3},    {64, 64, 3},  {100, 30, 4},  {30, 100, 3},  {640, 480, 3}, {7, 1000, 4},
        {257, 129, 4}, {48, 48, 3}, {1023, 1025, 3}, {128, 4, 4}, {6, 6, 4},    {1366, 768, 3},
    };
    for (const auto& c : cases) {
        expectSameAsGlu(pattern(c.width, c.height, c.components),
                        std::to_string(c.width) + " x " + std::to_string(c.height) + " x " +
                            std::to_string(c.components));
    }
}

}  // namespace
