// The particle drawing into a small framebuffer of its own: points where the particles
// are, none for the first size band or before 25.5 s, and the line strip of mode 2.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "fluid/particles.h"
#include "testing/gl_context.h"
#include "render/textures.h"
#include "shell/config.h"
#include "shell/demo_clock.h"

namespace {

constexpr int kSize = 64;

class ParticlesGl : public ::testing::Test {
protected:
    GLuint framebuffer = 0;
    GLuint colour = 0;
    GLuint sprite = 0;
    // Globals this test changes, restored afterwards.
    std::vector<ParticlePosition> positions{particlePositions.begin(), particlePositions.end()};
    DemoClock clock = demoClock;
    int count = particleCount;
    int layers = sizeLayerCount;
    float minPar = MIN_PAR, maxPar = MAX_PAR, lines = lineVertexCount, tint = particleTint;
    unsigned int lineProgram = particleLineProgram;
    unsigned int spriteSlot = particleSpriteTexture;

    void SetUp() override {
        gltest::ensureContext();
        glGenTextures(1, &colour);
        glBindTexture(GL_TEXTURE_2D, colour);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, kSize, kSize, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glGenFramebuffers(1, &framebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colour, 0);
        ASSERT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));

        // A plain white sprite, so each point shows the drawing colour.
        const std::vector<std::uint8_t> white(4 * 4 * 4, 255);
        glGenTextures(1, &sprite);
        glBindTexture(GL_TEXTURE_2D, sprite);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 4, 4, 0, GL_RGBA, GL_UNSIGNED_BYTE, white.data());
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        particleSpriteTexture = sprite;

        glViewport(0, 0, kSize, kSize);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, 1, 0, 1, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);

        demoClock.time = 30.0f;
        demoClock.delta = 0.0f;
        particleCount = kMaxParticles;
        sizeLayerCount = 20;
        MIN_PAR = MAX_PAR = 24.0f;  // 3 pixels at the test picture height of 180
        particleTint = 1.0f;
        particleLineProgram = 0;
        lineVertexCount = 1249.0f;
        // Band 0 (particles 0..4999) in the upper right, every other band lower left.
        for (int i = 0; i < kMaxParticles; ++i) {
            particlePositions[static_cast<std::size_t>(i)] = i < 5000 ? ParticlePosition{0.75f, 0.75f}
                                                                      : ParticlePosition{0.25f, 0.25f};
        }
    }

    void TearDown() override {
        glUseProgram(0);
        glDisable(GL_BLEND);
        glDisable(GL_POINT_SMOOTH);
        glDisable(GL_POINT_SPRITE);
        glDisable(GL_TEXTURE_2D);
        glLineWidth(1.0f);
        glPointSize(1.0f);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteFramebuffers(1, &framebuffer);
        glDeleteTextures(1, &colour);
        glDeleteTextures(1, &sprite);
        std::copy(positions.begin(), positions.end(), particlePositions.begin());
        demoClock = clock;
        particleCount = count;
        sizeLayerCount = layers;
        MIN_PAR = minPar;
        MAX_PAR = maxPar;
        lineVertexCount = lines;
        particleTint = tint;
        particleLineProgram = lineProgram;
        particleSpriteTexture = spriteSlot;
    }

    // Red channel of one pixel of the framebuffer.
    static int red(int x, int y) { return gltest::readPixels(x, y, 1, 1)[0]; }
};

TEST_F(ParticlesGl, PointsAppearWhereTheDrawnBandsAre) {
    drawParticles(0);
    glFinish();
    EXPECT_GT(red(16, 16), 40);  // 95000 points of bands 1..19
    EXPECT_EQ(red(48, 48), 0);   // band 0 is never drawn
    EXPECT_EQ(red(48, 16), 0);
    EXPECT_EQ(red(16, 48), 0);
    EXPECT_EQ(gltest::drainGlErrors(), static_cast<GLenum>(GL_NO_ERROR));
    // On return no program is current and the line blend is left set.
    GLint program = -1;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    EXPECT_EQ(program, 0);
    GLint source = 0;
    glGetIntegerv(GL_BLEND_SRC_RGB, &source);
    EXPECT_EQ(source, GL_SRC_ALPHA);
}

TEST_F(ParticlesGl, NothingBefore25AndAHalfSeconds) {
    demoClock.time = 25.5f;
    drawParticles(1);
    glFinish();
    EXPECT_EQ(red(16, 16), 0);
}

TEST_F(ParticlesGl, TintDarkensThePoints) {
    particleCount = 20 * 10;  // ten per band; bands 1..19 hold particles 10..199
    for (int i = 0; i < kMaxParticles; ++i) particlePositions[static_cast<std::size_t>(i)] = {0.25f, 0.25f};
    drawParticles(0);
    glFinish();
    const int bright = red(16, 16);
    glClear(GL_COLOR_BUFFER_BIT);
    particleTint = 0.0f;
    drawParticles(0);
    glFinish();
    EXPECT_GT(bright, 0);
    EXPECT_EQ(red(16, 16), 0);
}

TEST_F(ParticlesGl, ModeTwoJoinsTheFirstParticlesWithALine) {
    // The first 1249 particles spread along y = 0.5; no band draws them as points there.
    sizeLayerCount = 1;
    for (int i = 0; i < 1249; ++i) {
        particlePositions[static_cast<std::size_t>(i)] = {0.1f + 0.8f * static_cast<float>(i) / 1248.0f, 0.5f};
    }
    drawParticles(2);
    glFinish();
    EXPECT_GT(red(32, 32) + red(32, 31), 0);
    EXPECT_EQ(red(32, 48), 0);

    // Once the budget is spent after 165 s the strip draws nothing.
    glClear(GL_COLOR_BUFFER_BIT);
    demoClock.time = 170.0f;
    demoClock.delta = 1000.0f;
    drawParticles(2);
    glFinish();
    EXPECT_EQ(lineVertexCount, 0.0f);
    EXPECT_EQ(red(32, 32) + red(32, 31), 0);
}

}  // namespace
