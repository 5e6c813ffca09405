// The post-processing pass on small pictures: the effects, the ping-pong between the
// targets and the layer image's orientation. (The letterbox offset: e2e/screens.sh.)
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

#include "base/config.h"
#include "base/cue_times.h"
#include "render/layer_list.h"
#include "render/post_processing.h"
#include "render/render_targets.h"
#include "render/shaders.h"
#include "render/textures.h"
#include "render/views.h"
#include "testing/gl_context.h"

namespace {

using Rgba = std::array<int, 4>;
using Texels = std::vector<std::uint8_t>;
constexpr int W = gltest::kWidth;
constexpr int H = gltest::kHeight;

Rgba texel(const Texels& t, int x, int y) {
    const std::size_t i = (static_cast<std::size_t>(y) * W + x) * 4;
    return {t[i], t[i + 1], t[i + 2], t[i + 3]};
}

void expectNear(const Rgba& actual, const Rgba& expected, const char* what, int tolerance = 2) {
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(actual[c], expected[c], tolerance) << what << " channel " << c;
}

// w x h RGBA texels, rows in the order given.
Texels picture(int w, int h, const std::function<Rgba(int x, int y)>& colour) {
    Texels t(static_cast<std::size_t>(w) * h * 4);
    for (std::size_t i = 0; i < t.size(); ++i) {
        t[i] = static_cast<std::uint8_t>(colour(static_cast<int>(i / 4 % w), static_cast<int>(i / 4 / w))[i % 4]);
    }
    return t;
}

// An image texture as the loader makes them: mipmapped, top row first.
unsigned int imageTexture(int w, int h, const std::function<Rgba(int x, int yFromTop)>& colour) {
    GLuint tex = 0;
    glGenTextures(1, &tex);
    glBindTexture(GL_TEXTURE_2D, tex);
    gluBuild2DMipmaps(GL_TEXTURE_2D, 4, w, h, GL_RGBA, GL_UNSIGNED_BYTE, picture(w, h, colour).data());
    return tex;
}

void fillScene(const std::function<Rgba(int x, int y)>& colour) {
    glBindTexture(GL_TEXTURE_2D, textures.sceneTargetTexture);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, W, H, GL_RGBA, GL_UNSIGNED_BYTE, picture(W, H, colour).data());
}

constexpr Rgba kPicture = {51, 153, 204, 255};
constexpr Rgba kLayer = {128, 64, 255, 255};
constexpr Rgba kInverted = {204, 102, 51, 255};
const auto uniform = [](Rgba c) { return [c](int, int) { return c; }; };

class RenderGlPass : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        gltest::ensureContext();
        if (programs.negativeProgram == 0) buildShaderPrograms();
        if (targets.sceneTarget.framebuffer == 0) generateRenderTargets();
        if (textures.sceneTargetTexture == 0) {
            textures.sceneTargetTexture = createRenderTexture(W, H);
            textures.layerTargetTexture = createRenderTexture(W, H);
        }
    }
    void TearDown() override {
        blendLayers = savedLayers_;
        glUseProgram(0);
        bindWindowFramebuffer();
    }

    // One frame's pass at time t, from a cleared window, as the frame driver runs it.
    static void runPass(float t, Rgba clear = {0, 0, 0, 0}) {
        gltest::drainGlErrors();
        bindWindowFramebuffer();
        glViewport(0, 0, W, H);
        glClearColor(clear[0] / 255.0f, clear[1] / 255.0f, clear[2] / 255.0f, clear[3] / 255.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glDisable(GL_DEPTH_TEST);
        setPerspectiveView();
        applyPostProcessing(t);
        EXPECT_EQ(gltest::drainGlErrors(), static_cast<GLenum>(GL_NO_ERROR));
        glReadBuffer(GL_BACK);
    }
    static Rgba windowPixel(int x, int y) { return texel(gltest::readPixels(x, y, 1, 1), 0, 0); }
    static Rgba targetPixel(unsigned int texture) { return texel(gltest::readTexture(texture, W, H), W / 2, H / 2); }

private:
    const BlendLayerList savedLayers_ = blendLayers;
};

// Layer i reads one target and writes the other; the window shows the last one written.
// One layer shows its effect on the picture.
TEST_F(RenderGlPass, LiveLayersPingPongAndTheWindowShowsTheResult) {
    const unsigned int layer = imageTexture(8, 8, uniform(kLayer));
    const auto live = [layer](unsigned int program) { return BlendLayer{5.0f, 20.0f, layer, program}; };
    const Rgba multiplied = {51 * 128 / 255, 153 * 64 / 255, 204, 255};
    const Rgba product = {204 * 128 / 255, 102 * 64 / 255, 51, 255};
    const struct {
        const char* what;
        BlendLayerList layers;
        float t;
        Rgba window, scene, layerTarget;  // layerTarget {-1} when nothing writes it
    } cases[] = {
        {"no layer", {}, 10.0f, kPicture, kPicture, {-1}},
        {"negative", {live(programs.negativeProgram)}, 10.0f, kInverted, kPicture, kInverted},
        {"multiply", {live(programs.multiplyProgram)}, 10.0f, multiplied, kPicture, multiplied},
        {"overlay: 2ab below a half, 1 - 2(1 - a)(1 - b) above",
         {live(programs.overlayProgram)},
         10.0f,
         {51, 102, 255, 255},
         kPicture,
         {51, 102, 255, 255}},
        {"replace", {live(programs.replaceProgram)}, 10.0f, kLayer, kPicture, kLayer},
        {"blur of a uniform picture", {live(programs.blurProgram)}, 10.0f, kPicture, kPicture, kPicture},
        {"no program: a copy", {live(0)}, 10.0f, kPicture, kPicture, kPicture},
        {"negative, then multiply",
         {live(programs.negativeProgram), live(programs.multiplyProgram)},
         10.0f,
         product,
         product,
         kInverted},
    };
    GLint depthBefore = 0, depthAfter = 0, mode = 0;
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depthBefore);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fillScene(uniform(kPicture));
        blendLayers = c.layers;
        // The composition may leave texturing off and an inverting blend on.
        glDisable(GL_TEXTURE_2D);
        glEnable(GL_BLEND);
        glBlendFunc(GL_ONE_MINUS_DST_COLOR, GL_ZERO);
        runPass(c.t, {10, 20, 30, 0});
        expectNear(windowPixel(5, 5), c.window, "window");
        expectNear(windowPixel(W - 1, H - 1), c.window, "window corner");
        expectNear(targetPixel(textures.sceneTargetTexture), c.scene, "scene target");
        if (c.layerTarget[0] >= 0) expectNear(targetPixel(textures.layerTargetTexture), c.layerTarget, "layer target");
    }
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depthAfter);
    EXPECT_EQ(depthAfter, depthBefore);
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    glDeleteTextures(1, &layer);
}

TEST_F(RenderGlPass, LayerImageShowsUprightAndScrollsInsideTheWindow) {
    // Top half red, bottom half blue; left quarter green over both.
    const unsigned int layer = imageTexture(64, 64, [](int x, int yFromTop) {
        if (x < 16) return Rgba{0, 255, 0, 255};
        return yFromTop < 32 ? Rgba{255, 0, 0, 255} : Rgba{0, 0, 255, 255};
    });
    blendLayers = {{0.0f, 100.0f, layer, programs.replaceProgram}};
    runPass(10.0f);
    expectNear(windowPixel(W / 2, H - 5), {255, 0, 0, 255}, "top");
    expectNear(windowPixel(W / 2, 5), {0, 0, 255, 255}, "bottom");
    expectNear(windowPixel(10, H / 2), {0, 255, 0, 255}, "left quarter");
    // Just before its scroll ends the image has slid left by 0.016 of its width a second
    // since the scroll began, and the green band with it.
    const float late = kLayerScrollEnd - 0.1f;
    runPass(late);
    const int edge = W / 4 - static_cast<int>(std::lround((late - kLayerScrollStart) * 0.016f * W));
    expectNear(windowPixel(edge - 3, H / 4), {0, 255, 0, 255}, "still green");
    expectNear(windowPixel(edge + 3, H / 4), {0, 0, 255, 255}, "slid away");
    glDeleteTextures(1, &layer);
}

}  // namespace
