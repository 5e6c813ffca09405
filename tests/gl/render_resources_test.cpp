// Textures, the image cache, render textures and the shader programs on a real driver.
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_image.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

#include "testing/gl_context.h"
#include "render/image_cache.h"
#include "render/render_target.h"
#include "render/shaders.h"
#include "render/texture_loading.h"
#include "render/textures.h"

namespace {

namespace fs = std::filesystem;

struct SurfaceFree {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};

// A small picture written into a fresh temporary folder; removed with the fixture.
class RenderGlResources : public ::testing::Test {
protected:
    static void SetUpTestSuite() { gltest::ensureContext(); }

    void SetUp() override {
        char pattern[] = "/tmp/velkarn-render-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        gltest::drainGlErrors();
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }

    std::string writeImage(const char* name, bool alpha, bool jpeg = false) {
        const Uint32 format = alpha ? SDL_PIXELFORMAT_RGBA32 : SDL_PIXELFORMAT_RGB24;
        std::unique_ptr<SDL_Surface, SurfaceFree> s(
            SDL_CreateRGBSurfaceWithFormat(0, 5, 3, SDL_BITSPERPIXEL(format), format));
        EXPECT_NE(s, nullptr);
        SDL_FillRect(s.get(), nullptr, SDL_MapRGBA(s->format, 200, 100, 50, 128));
        const std::string path = (dir / name).string();
        const int rc = jpeg ? IMG_SaveJPG(s.get(), path.c_str(), 95) : IMG_SavePNG(s.get(), path.c_str());
        EXPECT_EQ(rc, 0) << IMG_GetError();
        return path;
    }

    fs::path dir;
};

// Channels of the texture's internal format (the driver may report the legacy
// component count it was given or the symbolic format).
int channelsOf(unsigned int texture) {
    glBindTexture(GL_TEXTURE_2D, texture);
    GLint format = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    if (format == 4 || format == GL_RGBA || format == GL_RGBA8) return 4;
    if (format == 3 || format == GL_RGB || format == GL_RGB8) return 3;
    return 0;
}

TEST_F(RenderGlResources, SameNameSameTextureOtherSpellingAnotherOne) {
    const std::string path = writeImage("x.png", false);
    const std::size_t entries = imageCache.names.size();
    const unsigned int first = loadImageTexture(path.c_str());
    const unsigned int second = loadImageTexture(path.c_str());
    EXPECT_NE(first, 0u);
    EXPECT_EQ(first, second);
    EXPECT_EQ(imageCache.names.size(), entries + 1);

    const std::string dotted = (dir / "." / "x.png").string();
    const unsigned int third = loadImageTexture(dotted.c_str());
    EXPECT_NE(third, first);
    EXPECT_EQ(imageCache.names.size(), entries + 2);
    EXPECT_EQ(gltest::drainGlErrors(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(RenderGlResources, FailedLoadAddsNoEntry) {
    const std::size_t entries = imageCache.names.size();
    std::string error;
    const std::string missing = (dir / "missing.jpg").string();
    EXPECT_FALSE(tryLoadImageTexture(missing.c_str(), &error).has_value());
    EXPECT_FALSE(error.empty());
    // A file that is there but is no image.
    const std::string junk = (dir / "junk.png").string();
    { std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(junk.c_str(), "wb"), &std::fclose); std::fputs("no", f.get()); }
    EXPECT_FALSE(tryLoadImageTexture(junk.c_str()).has_value());
    EXPECT_EQ(imageCache.names.size(), entries);
    EXPECT_EQ(imageCache.textures.size(), entries);
}

using RenderGlResourcesDeathTest = RenderGlResources;

TEST_F(RenderGlResourcesDeathTest, UndecodableImageEndsTheRunNamingTheFile) {
    // A forked child would share this process's X connection and break it on exit; the
    // threadsafe style starts a fresh process with its own window instead.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string missing = (dir / "gradient2.jpg").string();
    EXPECT_EXIT(loadImageTexture(missing.c_str()), ::testing::ExitedWithCode(1), "gradient2\\.jpg");
}

TEST_F(RenderGlResources, AlphaPngIsRgbaOpaqueImagesAreRgb) {
    EXPECT_EQ(channelsOf(loadImageTexture(writeImage("a.png", true).c_str())), 4);
    EXPECT_EQ(channelsOf(loadImageTexture(writeImage("b.png", false).c_str())), 3);
    EXPECT_EQ(channelsOf(loadImageTexture(writeImage("c.jpg", false, true).c_str())), 3);
}

TEST_F(RenderGlResources, ImageTextureKeepsItsColoursWithMipmaps) {
    const unsigned int texture = loadImageTexture(writeImage("rows.png", true).c_str());
    // gluBuild2DMipmaps scales 5 by 3 to a power-of-two size and builds the chain.
    glBindTexture(GL_TEXTURE_2D, texture);
    GLint width = 0;
    GLint height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    ASSERT_GT(width, 0);
    ASSERT_GT(height, 0);
    const std::vector<std::uint8_t> texels = gltest::readTexture(texture, width, height);
    EXPECT_NEAR(texels[0], 200, 1);
    EXPECT_NEAR(texels[1], 100, 1);
    EXPECT_NEAR(texels[2], 50, 1);
    EXPECT_NEAR(texels[3], 128, 1);
    GLint lastWidth = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 2, GL_TEXTURE_WIDTH, &lastWidth);
    EXPECT_GT(lastWidth, 0);
}

TEST_F(RenderGlResources, RenderTexturesStartTransparentBlack) {
    const unsigned int texture = createRenderTexture(gltest::kWidth, gltest::kHeight);
    const std::vector<std::uint8_t> texels = gltest::readTexture(texture, gltest::kWidth, gltest::kHeight);
    std::size_t nonZero = 0;
    for (const std::uint8_t b : texels) nonZero += b != 0;
    EXPECT_EQ(nonZero, 0u);
    GLint filter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    EXPECT_EQ(filter, GL_LINEAR);
    EXPECT_EQ(channelsOf(texture), 4);
    EXPECT_EQ(gltest::drainGlErrors(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(RenderGlResources, TargetsTakeTheirSizeFromThePicture) {
    if (sceneTarget.framebuffer == 0) generateRenderTargets();
    EXPECT_EQ(largeTarget.width, 2 * gltest::kWidth);
    EXPECT_EQ(largeTarget.height, 2 * gltest::kHeight);
    EXPECT_EQ(layerTarget.width, gltest::kWidth);
    EXPECT_NE(sceneTarget.framebuffer, layerTarget.framebuffer);
    if (sceneTargetTexture == 0) sceneTargetTexture = createRenderTexture(gltest::kWidth, gltest::kHeight);
    bindRenderTarget(sceneTarget);
    EXPECT_EQ(glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE_EXT));
    bindWindowFramebuffer();
    EXPECT_EQ(gltest::drainGlErrors(), static_cast<GLenum>(GL_NO_ERROR));
}

bool linked(unsigned int program) {
    GLint ok = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    return ok == GL_TRUE;
}

TEST_F(RenderGlResources, AllSevenProgramsLinkAndTheLastStaysCurrent) {
    buildShaderPrograms();
    GLint current = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    EXPECT_EQ(static_cast<unsigned int>(current), blobGeomProgram);
    for (const unsigned int program : {negativeProgram, multiplyProgram, overlayProgram, blurProgram, replaceProgram,
                                       lineGeomProgram, blobGeomProgram}) {
        EXPECT_TRUE(linked(program)) << program;
    }
    // Five separate vertex shader objects for the one shared source.
    EXPECT_NE(negativeShader.vertexShader, multiplyShader.vertexShader);
    EXPECT_NE(multiplyShader.vertexShader, replaceShader.vertexShader);
    EXPECT_NE(lineGeomShader.geometryShader, 0u);
    EXPECT_NE(lineGeomShader.vertexShader, blobGeomShader.vertexShader);
    EXPECT_EQ(gltest::drainGlErrors(), static_cast<GLenum>(GL_NO_ERROR));
    glUseProgram(0);
}

TEST_F(RenderGlResources, GeometryProgramsDrawLines) {
    if (lineGeomProgram == 0) buildShaderPrograms();
    if (sceneTarget.framebuffer == 0) generateRenderTargets();
    if (sceneTargetTexture == 0) sceneTargetTexture = createRenderTexture(gltest::kWidth, gltest::kHeight);
    for (const unsigned int program : {lineGeomProgram, blobGeomProgram}) {
        bindRenderTarget(sceneTarget);
        glViewport(0, 0, gltest::kWidth, gltest::kHeight);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_BLEND);
        glDisable(GL_TEXTURE_2D);
        glUseProgram(program);
        glColor4f(1, 1, 1, 1);
        glBegin(GL_LINE_STRIP);
        glVertex2f(-0.9f, 0.0f);
        glVertex2f(0.9f, 0.0f);
        glEnd();
        glUseProgram(0);
        const std::vector<std::uint8_t> pixels = gltest::readPixels(0, 0, gltest::kWidth, gltest::kHeight);
        std::size_t lit = 0;
        for (std::size_t i = 0; i < pixels.size(); i += 4) lit += pixels[i] > 64;
        EXPECT_GT(lit, static_cast<std::size_t>(gltest::kWidth)) << program;  // the line and its echo
        bindWindowFramebuffer();
        EXPECT_EQ(gltest::drainGlErrors(), static_cast<GLenum>(GL_NO_ERROR));
    }
}

}  // namespace
