// The blob section drawn for real: the bodies show at 95 s, bodies and strings later on,
// and no GL errors on the way. Set VELKARN_BLOB_FRAMES to a directory to keep the frames
// as BMP pictures for a look.
#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "fluid/particles.h"
#include "testing/gl_context.h"
#include "render/render_target.h"
#include "render/shaders.h"
#include "render/textures.h"
#include "shell/config.h"
#include "shell/demo_clock.h"
#include "softbody/blob_scene.h"
#include "softbody/soft_bodies.h"
#include "timeline/views.h"

namespace {

using Picture = std::vector<std::uint8_t>;

void setUpOnce() {
    static bool ready = false;
    if (ready) return;
    gltest::ensureContext();
    buildShaderPrograms();
    generateRenderTargets();
    loadTextures();
    setStartGravity();
    setStartCamera();
    scatterParticles();
    particleCount = 2000;
    gltest::drainGlErrors();
    ready = true;
}

// The physics of the section up to time t at 60 frames per second.
void runPhysicsTo(float t) {
    if (demoClock.time < kBlobSceneStart) demoClock.time = kBlobSceneStart;
    demoClock.delta = 1.0f / 60.0f;
    while (demoClock.time + demoClock.delta < t) {
        demoClock.time += demoClock.delta;
        stepSoftBodies();
    }
    demoClock.time = t;
}

// One blob frame as the frame driver makes it: the look-at modelview, then the section.
Picture composeAt(float t) {
    demoClock.time = t;
    glUseProgram(0);
    bindRenderTarget(sceneTarget);
    glViewport(0, 0, screenWidth, screenHeight);
    setPerspectiveView();
    composeBlobSection();
    Picture picture = gltest::readPixels(0, 0, screenWidth, screenHeight);
    bindWindowFramebuffer();
    return picture;
}

void keep(const Picture& picture, const std::string& name) {
    const char* dir = std::getenv("VELKARN_BLOB_FRAMES");
    if (dir == nullptr) return;
    std::vector<std::uint8_t> flipped(picture.size());
    const std::size_t row = static_cast<std::size_t>(screenWidth) * 4;
    for (int y = 0; y < screenHeight; ++y) {
        std::copy_n(picture.begin() + static_cast<std::ptrdiff_t>(y * row), row,
                    flipped.begin() + static_cast<std::ptrdiff_t>((screenHeight - 1 - y) * row));
    }
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(flipped.data(), screenWidth, screenHeight, 32,
                                                              static_cast<int>(row), SDL_PIXELFORMAT_ABGR8888);
    if (surface == nullptr) return;
    SDL_SaveBMP(surface, (std::string(dir) + "/" + name + ".bmp").c_str());
    SDL_FreeSurface(surface);
}

// Share of pixels whose colour differs clearly between two pictures.
double changedShare(const Picture& a, const Picture& b) {
    std::size_t changed = 0;
    for (std::size_t i = 0; i + 3 < a.size(); i += 4) {
        int d = 0;
        for (int k = 0; k < 3; ++k) d += std::abs(int(a[i + k]) - int(b[i + k]));
        if (d > 24) ++changed;
    }
    return static_cast<double>(changed) / static_cast<double>(a.size() / 4);
}

// The same frame with the three bodies carried far out of sight (and put back).
Picture composeWithoutBodies(float t) {
    const auto a = softBodyA.particles, b = softBodyB.particles, c = softBodyC.particles;
    for (CSoftObject* body : {&softBodyA, &softBodyB, &softBodyC}) {
        for (SoftParticle& p : body->particles) p.position.z += 5000.0f;
    }
    const BlobTiming timing = blobTiming;
    Picture picture = composeAt(t);
    blobTiming = timing;
    softBodyA.particles = a;
    softBodyB.particles = b;
    softBodyC.particles = c;
    return picture;
}

}  // namespace

TEST(BlobGl, BodiesShowAt95Seconds) {
    setUpOnce();
    runPhysicsTo(95.0f);
    const BlobTiming timing = blobTiming;
    const Picture with = composeAt(95.0f);
    EXPECT_EQ(gltest::drainGlErrors(), static_cast<GLenum>(GL_NO_ERROR));
    blobTiming = timing;
    const Picture without = composeWithoutBodies(95.0f);
    keep(with, "blob_95");
    keep(without, "blob_95_empty");
    EXPECT_GT(changedShare(with, without), 0.01);
    EXPECT_EQ(gltest::drainGlErrors(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(BlobGl, BodiesAndStringsLater) {
    setUpOnce();
    for (const float t : {105.0f, 115.0f, 125.0f}) {
        SCOPED_TRACE(t);
        runPhysicsTo(t);
        const BlobTiming timing = blobTiming;
        const Picture with = composeAt(t);
        EXPECT_EQ(gltest::drainGlErrors(), static_cast<GLenum>(GL_NO_ERROR));
        blobTiming = timing;
        const Picture without = composeWithoutBodies(t);
        // Strings reach down to fluid particles on the floor: without any, those ends go.
        blobTiming = timing;
        const int count = particleCount;
        particleCount = 0;
        const Picture noFluid = composeAt(t);
        particleCount = count;
        blobTiming = timing;
        keep(with, "blob_" + std::to_string(static_cast<int>(t)));
        keep(noFluid, "blob_" + std::to_string(static_cast<int>(t)) + "_nofluid");
        EXPECT_GT(changedShare(with, without), 0.01);
        EXPECT_GT(changedShare(with, noFluid), 0.0005);
        EXPECT_EQ(gltest::drainGlErrors(), static_cast<GLenum>(GL_NO_ERROR));
    }
}
