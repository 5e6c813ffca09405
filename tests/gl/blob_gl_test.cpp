// The blob section drawn at 112 s: the bodies show, the strings reach the fluid particles, no GL errors.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "base/config.h"
#include "render/render_targets.h"
#include "render/shaders.h"
#include "render/textures.h"
#include "render/views.h"
#include "sim/particles.h"
#include "sim/soft_bodies.h"
#include "testing/gl_context.h"
#include "timeline/blob_scene.h"
#include "timeline/blob_step.h"

namespace {

// One blob frame as the frame driver makes it after a tick that asked for a snapshot.
std::vector<std::uint8_t> composeAt(float t) {
    drawBlobSnapshot(t);
    glUseProgram(0);
    bindRenderTarget(targets.sceneTarget);
    glViewport(0, 0, screen.screenWidth, screen.screenHeight);
    setPerspectiveView();
    composeBlobSection(t);
    return gltest::readPixels(0, 0, screen.screenWidth, screen.screenHeight);
}

// Share of pixels whose colour differs clearly between two pictures.
double changedShare(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    std::size_t changed = 0;
    for (std::size_t i = 0; i + 3 < a.size(); i += 4) {
        if (std::abs(a[i] - b[i]) + std::abs(a[i + 1] - b[i + 1]) + std::abs(a[i + 2] - b[i + 2]) > 24) ++changed;
    }
    return static_cast<double>(changed) / static_cast<double>(a.size() / 4);
}

}  // namespace

TEST(BlobGl, BodiesAndStringsShow) {
    gltest::ensureContext();
    buildShaderPrograms();
    generateRenderTargets();
    loadTextures();
    setStartGravity();
    setStartCamera();
    scatterParticles();
    particles.particleCount = 2000;
    gltest::drainGlErrors();
    for (float t = kBlobSceneStart; t < 112.0f; t += 1.0f / 60.0f) stepSoftBodies(t, 1.0f / 60.0f);

    const auto with = composeAt(112.0f);
    particles.particleCount = 0;  // the strings' ends on the floor go
    const auto noFluid = composeAt(112.0f);
    particles.particleCount = 2000;
    for (CSoftObject* body : {&softBodies.softBodyA, &softBodies.softBodyB, &softBodies.softBodyC}) {
        for (SoftParticle& p : body->particles) p.position.z += 5000.0f;  // far out of sight
    }
    const auto noBodies = composeAt(112.0f);
    bindWindowFramebuffer();
    EXPECT_GT(changedShare(with, noBodies), 0.01);
    EXPECT_GT(changedShare(with, noFluid), 0.0005);
    EXPECT_EQ(gltest::drainGlErrors(), static_cast<GLenum>(GL_NO_ERROR));
}
