// The post-processing pass on small pictures: each effect, the time window of a layer,
// the ping-pong between the targets and the letterbox offset of the final copy.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

#include "testing/gl_context.h"
#include "render/layer_list.h"
#include "render/render_target.h"
#include "render/shaders.h"
#include "render/textures.h"
#include "shell/config.h"
#include "shell/demo_clock.h"
#include "timeline/views.h"

namespace {

using Rgba = std::array<int, 4>;
using Texels = std::vector<std::uint8_t>;

constexpr int W = gltest::kWidth;
constexpr int H = gltest::kHeight;

Texels uniformPicture(Rgba c, int w = W, int h = H) {
    Texels t(static_cast<std::size_t>(w) * h * 4);
    for (std::size_t i = 0; i < t.size(); ++i) t[i] = static_cast<std::uint8_t>(c[i % 4]);
    return t;
}

Rgba texel(const Texels& t, int x, int y, int w = W) {
    const std::size_t i = (static_cast<std::size_t>(y) * w + x) * 4;
    return {t[i], t[i + 1], t[i + 2], t[i + 3]};
}

void expectNear(const Rgba& actual, const Rgba& expected, int tolerance, const char* what) {
    for (int c = 0; c < 3; ++c) {
        EXPECT_NEAR(actual[c], expected[c], tolerance) << what << " channel " << c;
    }
}

// An image texture as the loader makes them: mipmapped, rows given top row first.
unsigned int makeImageTexture(int w, int h, const std::function<Rgba(int x, int yFromTop)>& colour) {
    Texels t(static_cast<std::size_t>(w) * h * 4);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const Rgba c = colour(x, y);
            for (int k = 0; k < 4; ++k) t[(static_cast<std::size_t>(y) * w + x) * 4 + k] = static_cast<std::uint8_t>(c[k]);
        }
    }
    GLuint tex = 0;
    glGenTextures(1, &tex);
    glBindTexture(GL_TEXTURE_2D, tex);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gluBuild2DMipmaps(GL_TEXTURE_2D, 4, w, h, GL_RGBA, GL_UNSIGNED_BYTE, t.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    return tex;
}

void fillTexture(unsigned int texture, const Texels& texels) {
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, W, H, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
}

class RenderGlPass : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        gltest::ensureContext();
        if (negativeProgram == 0) buildShaderPrograms();
        if (sceneTarget.framebuffer == 0) generateRenderTargets();
        if (sceneTargetTexture == 0) {
            sceneTargetTexture = createRenderTexture(W, H);
            layerTargetTexture = createRenderTexture(W, H);
        }
    }

    void SetUp() override {
        savedLayers = blendLayers;
        savedTime = demoClock.time;
        savedOffset = letterboxOffsetY;
        blendLayers.clear();
        activeLayers.clear();
        letterboxOffsetY = 0;
        gltest::drainGlErrors();
    }

    void TearDown() override {
        blendLayers = savedLayers;
        demoClock.time = savedTime;
        letterboxOffsetY = savedOffset;
        glUseProgram(0);
        bindWindowFramebuffer();
    }

public:
    // One frame's pass at time t, from a cleared window, as the frame driver runs it.
    void runPass(float t, Rgba clear = {0, 0, 0, 0}) {
        demoClock.time = t;
        bindWindowFramebuffer();
        glViewport(0, 0, W, H);
        glClearColor(clear[0] / 255.0f, clear[1] / 255.0f, clear[2] / 255.0f, clear[3] / 255.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glDisable(GL_DEPTH_TEST);
        setPerspectiveView();
        applyPostProcessing();
        EXPECT_EQ(gltest::drainGlErrors(), static_cast<GLenum>(GL_NO_ERROR));
        glReadBuffer(GL_BACK);
    }

    Rgba windowPixel(int x, int y) {
        const std::vector<std::uint8_t> p = gltest::readPixels(x, y, 1, 1);
        return {p[0], p[1], p[2], p[3]};
    }

protected:
    BlendLayerList savedLayers;
    float savedTime = 0;
    int savedOffset = 0;
};

constexpr Rgba kPicture = {51, 153, 204, 255};  // 0.2, 0.6, 0.8
constexpr Rgba kLayer = {128, 64, 255, 255};    // about 0.5, 0.25, 1.0

Rgba runEffect(RenderGlPass& test, unsigned int program, Rgba layerColour) {
    fillTexture(sceneTargetTexture, uniformPicture(kPicture));
    const unsigned int layer = makeImageTexture(8, 8, [&](int, int) { return layerColour; });
    blendLayers = {{5.0f, 20.0f, layer, program}};
    test.runPass(10.0f);
    const Texels out = gltest::readTexture(layerTargetTexture, W, H);
    glDeleteTextures(1, &layer);
    return texel(out, W / 2, H / 2);
}

int overlayChannel(int base, int blend) {
    const double b = base / 255.0;
    const double l = blend / 255.0;
    const double v = b < 0.5 ? 2 * b * l : 1 - 2 * (1 - b) * (1 - l);
    return static_cast<int>(std::lround(v * 255));
}

TEST_F(RenderGlPass, EffectsGiveTheExpectedColours) {
    expectNear(runEffect(*this, negativeProgram, kLayer), {204, 102, 51, 255}, 2, "negative");
    expectNear(runEffect(*this, multiplyProgram, kLayer), {51 * 128 / 255, 153 * 64 / 255, 204, 255}, 2, "multiply");
    expectNear(runEffect(*this, overlayProgram, kLayer),
               {overlayChannel(51, 128), overlayChannel(153, 64), overlayChannel(204, 255), 255}, 2, "overlay");
    expectNear(runEffect(*this, replaceProgram, kLayer), kLayer, 2, "replace");
    // A uniform picture stays itself under any blur.
    expectNear(runEffect(*this, blurProgram, {255, 255, 255, 255}), kPicture, 2, "blur");
    // Without a program the layer copies the picture.
    expectNear(runEffect(*this, 0, kLayer), kPicture, 1, "none");
}

TEST_F(RenderGlPass, NegativeFollowsTheLayerAlphaAndReplaceIsAlphaAware) {
    expectNear(runEffect(*this, negativeProgram, {0, 0, 0, 0}), kPicture, 2, "transparent negative");
    const Rgba half = runEffect(*this, replaceProgram, {255, 0, 0, 128});
    expectNear(half, {(51 + 255) / 2, 153 / 2, 204 / 2, 255}, 3, "half replace");
}

TEST_F(RenderGlPass, BlurStrengthFollowsTheLayerBrightness) {
    // Left half black, right half white: a hard edge in the middle.
    Texels edge(static_cast<std::size_t>(W) * H * 4);
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            for (int k = 0; k < 4; ++k) edge[(static_cast<std::size_t>(y) * W + x) * 4 + k] = x < W / 2 && k < 3 ? 0 : 255;
        }
    }
    for (const int layerGrey : {0, 255}) {
        fillTexture(sceneTargetTexture, edge);
        const unsigned int layer =
            makeImageTexture(8, 8, [&](int, int) { return Rgba{layerGrey, layerGrey, layerGrey, 255}; });
        blendLayers = {{5.0f, 20.0f, layer, blurProgram}};
        runPass(10.0f);
        const Texels out = gltest::readTexture(layerTargetTexture, W, H);
        glDeleteTextures(1, &layer);
        const int justLeft = texel(out, W / 2 - 1, H / 2)[0];
        const int justRight = texel(out, W / 2, H / 2)[0];
        if (layerGrey == 0) {
            EXPECT_EQ(justLeft, 0);      // black layer: sharp
            EXPECT_EQ(justRight, 255);
        } else {
            EXPECT_GT(justLeft, 20);     // white layer: the edge spreads both ways
            EXPECT_LT(justRight, 235);
        }
        EXPECT_EQ(texel(out, 10, H / 2)[0], 0);  // far from the edge nothing changes
        EXPECT_EQ(texel(out, W - 10, H / 2)[0], 255);
    }
}

TEST_F(RenderGlPass, LayerIsLiveOnlyInsideItsTimeWindow) {
    const unsigned int layer = makeImageTexture(8, 8, [](int, int) { return kLayer; });
    blendLayers = {{5.0f, 20.0f, layer, negativeProgram}};
    for (const float t : {5.0f, 10.0f, 20.0f}) {
        fillTexture(sceneTargetTexture, uniformPicture(kPicture));
        runPass(t);
        const Rgba expected = t == 10.0f ? Rgba{204, 102, 51, 255} : kPicture;
        expectNear(windowPixel(W / 2, H / 2), expected, 2, "window");
    }
    glDeleteTextures(1, &layer);
}

TEST_F(RenderGlPass, NoLayerShowsTheSceneUnchangedWhateverStateWasLeft) {
    fillTexture(sceneTargetTexture, uniformPicture(kPicture));
    // The composition may end untextured with an inverting blend.
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE_MINUS_DST_COLOR, GL_ZERO);
    runPass(10.0f, {10, 20, 30, 0});
    expectNear(windowPixel(0, 0), kPicture, 1, "corner");
    expectNear(windowPixel(W - 1, H - 1), kPicture, 1, "corner");
    EXPECT_TRUE(activeLayers.empty());
}

TEST_F(RenderGlPass, OneLayerWritesTheLayerTargetTwoLayersWriteTheScene) {
    const unsigned int layer = makeImageTexture(8, 8, [](int, int) { return kLayer; });
    const Rgba inverted = {204, 102, 51, 255};

    fillTexture(sceneTargetTexture, uniformPicture(kPicture));
    blendLayers = {{5.0f, 20.0f, layer, negativeProgram}};
    runPass(10.0f);
    expectNear(texel(gltest::readTexture(sceneTargetTexture, W, H), 5, 5), kPicture, 1, "scene kept");
    expectNear(texel(gltest::readTexture(layerTargetTexture, W, H), 5, 5), inverted, 2, "layer target");
    bindWindowFramebuffer();
    expectNear(windowPixel(5, 5), inverted, 2, "window shows the layer target");

    fillTexture(sceneTargetTexture, uniformPicture(kPicture));
    blendLayers = {{5.0f, 20.0f, layer, negativeProgram}, {0.0f, 30.0f, layer, multiplyProgram}};
    runPass(10.0f);
    const Rgba product = {204 * 128 / 255, 102 * 64 / 255, 51, 255};
    expectNear(texel(gltest::readTexture(layerTargetTexture, W, H), 5, 5), inverted, 2, "first layer");
    expectNear(texel(gltest::readTexture(sceneTargetTexture, W, H), 5, 5), product, 2, "second over the scene");
    bindWindowFramebuffer();
    expectNear(windowPixel(5, 5), product, 2, "window shows the scene target");
    EXPECT_TRUE(activeLayers.empty());
    glDeleteTextures(1, &layer);
}

TEST_F(RenderGlPass, LayerImageShowsUprightAndScrollsInsideTheWindow) {
    // Top half red, bottom half blue; left quarter green over both.
    const unsigned int layer = makeImageTexture(64, 64, [](int x, int yFromTop) {
        if (x < 16) return Rgba{0, 255, 0, 255};
        return yFromTop < 32 ? Rgba{255, 0, 0, 255} : Rgba{0, 0, 255, 255};
    });
    blendLayers = {{0.0f, 100.0f, layer, replaceProgram}};
    fillTexture(sceneTargetTexture, uniformPicture(kPicture));
    runPass(10.0f);  // k = 1: same picture as k = 0
    expectNear(windowPixel(W / 2, H - 5), {255, 0, 0, 255}, 2, "top");
    expectNear(windowPixel(W / 2, 5), {0, 0, 255, 255}, 2, "bottom");
    expectNear(windowPixel(10, H / 2), {0, 255, 0, 255}, 2, "left quarter");

    // At 67.4 s the image has slid by 0.0528 of its width: the green band starts that
    // much further left, so a column just left of the band's old edge is no longer green.
    fillTexture(sceneTargetTexture, uniformPicture(kPicture));
    runPass(67.4f);
    const int edge = W / 4;  // old right edge of the band
    const int slide = static_cast<int>(std::lround((67.4 - 64.1) * 0.016 * W));
    expectNear(windowPixel(edge - slide - 3, H / 4), {0, 255, 0, 255}, 2, "still green");
    expectNear(windowPixel(edge - slide + 3, H / 4), {0, 0, 255, 255}, 2, "slid away");
    glDeleteTextures(1, &layer);
}

TEST_F(RenderGlPass, FinalCopyLandsAtTheLetterboxOffset) {
    // Row y of the picture has red = y, so each window row tells which picture row it shows.
    Texels rows(static_cast<std::size_t>(W) * H * 4);
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            const std::size_t i = (static_cast<std::size_t>(y) * W + x) * 4;
            rows[i] = static_cast<std::uint8_t>(y);
            rows[i + 1] = 0;
            rows[i + 2] = 0;
            rows[i + 3] = 255;
        }
    }
    fillTexture(sceneTargetTexture, rows);
    letterboxOffsetY = 10;
    runPass(10.0f, {0, 255, 0, 255});
    const std::vector<std::uint8_t> window = gltest::readPixels(0, 0, W, H);
    const auto at = [&](int x, int y) { return texel(window, x, y); };
    expectNear(at(W / 2, 9), {0, 255, 0, 255}, 0, "below the picture: cleared");
    expectNear(at(W / 2, 10), {0, 0, 0, 255}, 1, "picture row 0");
    expectNear(at(W / 2, 110), {100, 0, 0, 255}, 1, "picture row 100");
    expectNear(at(W / 2, H - 1), {H - 1 - 10, 0, 0, 255}, 1, "top row of the window");
}

TEST_F(RenderGlPass, ProjectionStackIsBalanced) {
    GLint before = 0;
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &before);
    for (int frame = 0; frame < 5; ++frame) runPass(10.0f);
    GLint after = 0;
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &after);
    EXPECT_EQ(after, before);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
}

}  // namespace
