// The particle drawing into the test window: points where the particles are, none for the
// first size band or before 25.5 s, and the line strip of mode 2.
#include <gtest/gtest.h>

#include "base/cue_times.h"
#include "render/particle_sprites.h"
#include "render/textures.h"
#include "testing/fluid_support.h"
#include "testing/gl_context.h"

namespace {

TEST(ParticlesGl, BandsTimeTintAndTheLineStrip) {
    gltest::ensureContext();
    fluidtest::SavedFluidState saved;
    const TextureTable savedTextures = textures;
    textures.particleSpriteTexture = 0;  // no sprite image: each point shows the plain drawing colour
    glViewport(0, 0, gltest::kWidth, gltest::kHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 1, 0, 1, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    auto drawn = [](float t, ParticleDrawing mode) {  // red at (0.25, 0.25) and at (0.75, 0.75)
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
        ParticleLook look;
        look.tint = particles.particleImageTint;
        look.particleCount = particles.particleCount;
        look.sizeLayerCount = particles.sizeLayerCount;
        look.minPar = particles.MIN_PAR;
        look.maxPar = particles.MAX_PAR;
        look.lineVertexCount = particles.lineVertexCount;
        uploadParticlePositions(particles.particlePositions);
        drawParticles(mode, t, look);
        glFinish();
        constexpr int x = gltest::kWidth / 4, y = gltest::kHeight / 4;
        return std::pair(gltest::readPixels(x, y, 1, 1)[0], gltest::readPixels(3 * x, 3 * y, 1, 1)[0]);
    };

    particles.particleCount = kMaxParticles;
    particles.sizeLayerCount = 20;
    particles.MIN_PAR = particles.MAX_PAR = 24.0f;  // 3 pixels at the test picture height of 180
    particles.particleImageTint = 1.0f;
    // Band 0 (particles 0..4999) at the upper right, every other band at the lower left.
    for (int i = 0; i < kMaxParticles; ++i)
        particles.particlePositions[i] = {i < 5000 ? 0.75f : 0.25f, i < 5000 ? 0.75f : 0.25f};
    const auto [bands, firstBand] = drawn(30.0f, ParticleDrawing::Points);
    EXPECT_GT(bands, 40);
    EXPECT_EQ(firstBand, 0);  // band 0 is never drawn
    EXPECT_EQ(drawn(kIntroEnd, ParticleDrawing::CopyPoints).first, 0);
    particles.particleImageTint = 0.0f;
    EXPECT_EQ(drawn(30.0f, ParticleDrawing::Points).first, 0);

    // Mode 2 joins the first 1249 particles, here along the diagonal; one band draws no points.
    particles.sizeLayerCount = 1;
    particles.lineVertexCount = 1249.0f;
    for (int i = 0; i < 1249; ++i)
        particles.particlePositions[i] = {0.1f + 0.8f * i / 1248.0f, 0.1f + 0.8f * i / 1248.0f};
    EXPECT_GT(drawn(30.0f, ParticleDrawing::PointsAndLines).first, 0);
    const float fading = kLineFadeStart + 5.0f;
    lowerLineBudget(fading, 1000.0f, 1);  // once the lines fade the budget is spent and the strip draws nothing
    EXPECT_EQ(particles.lineVertexCount, 0.0f);
    EXPECT_EQ(drawn(fading, ParticleDrawing::PointsAndLines).first, 0);
    EXPECT_EQ(gltest::drainGlErrors(), static_cast<GLenum>(GL_NO_ERROR));

    glDisable(GL_BLEND);
    glDisable(GL_POINT_SMOOTH);
    glLineWidth(1.0f);
    glPointSize(1.0f);
    textures = savedTextures;
}

}  // namespace
