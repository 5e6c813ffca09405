// Textures, the image cache, render targets and the shader programs on a real driver.
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <memory>
#include <string>

#include "render/render_targets.h"
#include "render/shaders.h"
#include "render/texture_loading.h"
#include "render/textures.h"
#include "testing/fluid_support.h"
#include "testing/gl_context.h"
#include "testing/scratch_files.h"

namespace {

constexpr int W = gltest::kWidth;
constexpr int H = gltest::kHeight;

class RenderGlResources : public ::testing::Test {
protected:
    static void SetUpTestSuite() { gltest::ensureContext(); }
    void SetUp() override { gltest::drainGlErrors(); }

    // A 5 x 3 picture of (200, 100, 50, 128) in the scratch folder.
    std::string writeImage(const char* name, bool alpha, bool jpeg = false) {
        const Uint32 format = alpha ? SDL_PIXELFORMAT_RGBA32 : SDL_PIXELFORMAT_RGB24;
        std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)> s(
            SDL_CreateRGBSurfaceWithFormat(0, 5, 3, SDL_BITSPERPIXEL(format), format), &SDL_FreeSurface);
        SDL_FillRect(s.get(), nullptr, SDL_MapRGBA(s->format, 200, 100, 50, 128));
        const std::string path = dir.file(name);
        EXPECT_EQ(jpeg ? IMG_SaveJPG(s.get(), path.c_str(), 95) : IMG_SavePNG(s.get(), path.c_str()), 0);
        return path;
    }

    const testfiles::ScratchDir dir;
};

GLint levelParameter(unsigned int texture, int level, GLenum name) {
    glBindTexture(GL_TEXTURE_2D, texture);
    GLint value = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, name, &value);
    return value;
}

// Channels of the internal format (the legacy component count or the symbolic format).
int channelsOf(unsigned int texture) {
    const GLint format = levelParameter(texture, 0, GL_TEXTURE_INTERNAL_FORMAT);
    if (format == 4 || format == GL_RGBA || format == GL_RGBA8) return 4;
    return format == 3 || format == GL_RGB || format == GL_RGB8 ? 3 : 0;
}

TEST_F(RenderGlResources, ImagesAreRgbaWithAlphaRgbWithoutAndMipmapped) {
    const struct {
        const char* name;
        bool alpha, jpeg;
        int channels, tolerance;
    } cases[] = {{"a.png", true, false, 4, 1}, {"b.png", false, false, 3, 1}, {"c.jpg", false, true, 3, 4}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const unsigned int texture = loadImageTexture(writeImage(c.name, c.alpha, c.jpeg).c_str());
        EXPECT_EQ(channelsOf(texture), c.channels);
        // gluBuild2DMipmaps scales 5 x 3 to a power of two and builds the chain.
        const GLint width = levelParameter(texture, 0, GL_TEXTURE_WIDTH);
        const GLint height = levelParameter(texture, 0, GL_TEXTURE_HEIGHT);
        EXPECT_GT(levelParameter(texture, 2, GL_TEXTURE_WIDTH), 0);
        const std::vector<std::uint8_t> texels = gltest::readTexture(texture, width, height);
        EXPECT_NEAR(texels[0], 200, c.tolerance);
        EXPECT_NEAR(texels[1], 100, c.tolerance);
        EXPECT_NEAR(texels[2], 50, c.tolerance);
        EXPECT_EQ(texels[3], c.alpha ? 128 : 255);
    }
    EXPECT_EQ(gltest::drainGlErrors(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(RenderGlResources, CacheHoldsEveryLoadedNameOnceAndNoFailedOne) {
    const std::size_t entries = textures.imageCache.names.size();
    const std::string path = writeImage("x.png", false);
    const unsigned int first = loadImageTexture(path.c_str());
    EXPECT_EQ(loadImageTexture(path.c_str()), first);
    EXPECT_NE(loadImageTexture(dir.file("./x.png").c_str()), first);  // keys are bytes, not paths
    // (The fatal form, ending the run with the file's name, is run by e2e/hardening_missing_files.sh.)
    std::string error;
    EXPECT_FALSE(tryLoadImageTexture(dir.file("missing.jpg").c_str(), &error).has_value());
    EXPECT_FALSE(error.empty());
    testfiles::writeFile(dir.file("junk.png"), "no");  // there, but no image
    EXPECT_FALSE(tryLoadImageTexture(dir.file("junk.png").c_str()).has_value());
    EXPECT_EQ(textures.imageCache.names.size(), entries + 2);
    EXPECT_EQ(textures.imageCache.textures.size(), entries + 2);
}

TEST_F(RenderGlResources, TargetsTakeTheirSizeFromThePictureAndStartTransparentBlack) {
    if (targets.sceneTarget.framebuffer == 0) generateRenderTargets();
    EXPECT_EQ(targets.largeTarget.width, 2 * W);
    EXPECT_EQ(targets.largeTarget.height, 2 * H);
    EXPECT_EQ(targets.layerTarget.width, W);
    const unsigned int texture = createRenderTexture(W, H);
    const std::vector<std::uint8_t> texels = gltest::readTexture(texture, W, H);
    EXPECT_EQ(std::count(texels.begin(), texels.end(), 0), static_cast<std::ptrdiff_t>(texels.size()));
    EXPECT_EQ(channelsOf(texture), 4);
    EXPECT_EQ(gltest::drainGlErrors(), static_cast<GLenum>(GL_NO_ERROR));
}

// Without EXT_geometry_shader4 (as under llvmpipe) the geometry stages link only translated.
TEST_F(RenderGlResources, AllSevenProgramsLinkAndTheLastStaysCurrent) {
    buildShaderPrograms();
    GLint current = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    EXPECT_EQ(static_cast<unsigned int>(current), programs.blobGeomProgram);
    for (const ShaderRecipe& recipe : kShaderRecipes) {
        const unsigned int program = programs.*recipe.program;
        EXPECT_EQ((programs.*recipe.shader).program, program) << recipe.name;
        GLint linked = GL_FALSE;
        glGetProgramiv(program, GL_LINK_STATUS, &linked);
        EXPECT_EQ(linked, GL_TRUE) << program;
    }
    EXPECT_NE(programs.negativeShader.vertexShader, programs.multiplyShader.vertexShader);  // one object per program
    EXPECT_EQ(gltest::drainGlErrors(), static_cast<GLenum>(GL_NO_ERROR));
    glUseProgram(0);
}

// Start-up and reload build the same way and differ in wording and in what a failure
// leaves: at start-up an unlinked program that stands in the table, on reload nothing.
// (A complete build at start-up and on reload, and a broken reload: e2e keys_and_watch.)
TEST_F(RenderGlResources, OneBuildPathWithTheWordingOfStartUpAndReload) {
    const std::string broken = dir.file("broken.glsl");
    testfiles::writeFile(broken, "this is not GLSL(\n");
    const std::string missing = dir.file("missing.glsl");
    const struct {
        const char* what;
        ShaderBuildKind kind;
        std::string fragmentFile;
        bool program, linked;
        std::string said;  // the start of standard error
    } cases[] = {
        {"start-up, missing", ShaderBuildKind::StartUp, missing, true, false,
         "velkarn: the shader source " + missing + " is missing or empty: the test program is left out\n"},
        {"reload, missing", ShaderBuildKind::Reload, missing, false, false,
         missing + ": the shader source is missing or empty\n"},
        {"start-up, broken", ShaderBuildKind::StartUp, broken, true, false,
         "Shader " + broken + " does not compile:\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ShaderRecipe recipe = kShaderRecipes[4];
        recipe.name = "test";
        recipe.fragmentFile = c.fragmentFile.c_str();
        ::testing::internal::CaptureStderr();
        const ShaderBuild build = buildShaderEntry(recipe, c.kind);
        const std::string said = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(build.objects.program != 0, c.program);
        EXPECT_EQ(build.linked, c.linked);
        EXPECT_TRUE(said.starts_with(c.said)) << said;
        EXPECT_EQ(said.empty(), c.said.empty()) << said;
        if (c.kind == ShaderBuildKind::StartUp && c.fragmentFile == broken) {
            EXPECT_NE(said.find("Program with " + broken + " does not link:"), std::string::npos) << said;
        }
        deleteShaderEntry(build.objects);
    }
    EXPECT_EQ(gltest::drainGlErrors(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
