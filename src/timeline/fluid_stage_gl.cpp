// Draws the particle image: the particle copies in their layout and the line copies, from
// the frame's view of the particles. The drawing changes nothing the ticks read (their
// layout rules are applyLayoutRules).
#include "timeline/fluid_stage.h"

#include "base/gl.h"
#include "render/particle_sprites.h"
#include "render/render_targets.h"
#include "render/shaders.h"
#include "sim/particles.h"
#include "timeline/between_ticks.h"

void moveCamera(float t) { applyTransforms(cameraMovesAt(t)); }

void driftCamera(float t) { applyTransforms(driftMovesAt(t)); }

namespace {

ParticleLook frameParticleLook() {
    ParticleLook look;
    look.tint = frameView.values.particleImageTint;
    look.particleCount = particles.particleCount;
    look.sizeLayerCount = particles.sizeLayerCount;
    look.minPar = particles.MIN_PAR;
    look.maxPar = particles.MAX_PAR;
    look.lineVertexCount = frameView.values.lineVertexCount;
    look.lineProgram = programs.lineGeomProgram;
    return look;
}

// The passes' rows of copies, one unit apart: left to right, then a row down.
void drawCopyRows(ParticleDrawing drawing, const ParticlePasses& passes, float t, const ParticleLook& look) {
    for (int row = 0; row < passes.rows; ++row) {
        for (int column = 0; column < passes.columns; ++column) {
            drawParticles(drawing, t, look);
            glTranslatef(1.0f, 0.0f, 0.0f);
        }
        glTranslatef(-static_cast<float>(passes.columns), -1.0f, 0.0f);
    }
}

// The passes' line copies, side by side one unit apart.
void drawLineCopies(const ParticlePasses& passes, float t, const ParticleLook& look) {
    for (int i = 0; i < passes.lineCopies; ++i) {
        if (i > 0) glTranslatef(1.0f, 0.0f, 0.0f);
        drawParticles(ParticleDrawing::PointsAndLines, t, look);
    }
}

}  // namespace

void renderParticleImage(float t) {
    bindRenderTarget(targets.largeTarget);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glPointSize(1.0f);
    glLineWidth(1.0f);

    uploadParticlePositions(frameView.particlePositions);
    const ParticleLook look = frameParticleLook();
    const ParticlePasses passes = particlePassesAt(t);
    if (passes.layout == ParticleLayout::Squeezed) {
        // Squeezed to 0.8 of its height; the line copy lies over the copy.
        glTranslatef(0.0f, 0.1f, 0.0f);
        glScalef(1.0f, 0.8f, 1.0f);
        glPushMatrix();
        drawCopyRows(ParticleDrawing::Points, passes, t, look);
        glPopMatrix();
        drawLineCopies(passes, t, look);
        return;
    }

    glEnable(GL_TEXTURE_2D);
    glPushMatrix();
    if (passes.layout == ParticleLayout::Wall) {
        // Copies of the periodic fluid, turning and coming closer, with smaller points.
        ParticleLook wallLook = look;
        wallLook.maxPar = 0.25f * look.maxPar;
        applyTransforms(wallPlacementAt(t));
        drawCopyRows(ParticleDrawing::Points, passes, t, wallLook);
    } else {
        glTranslatef(-0.15f, 0.0f, -0.1f);
        drawCopyRows(ParticleDrawing::CopyPoints, passes, t, look);
    }
    glPopMatrix();

    // The line copies lie a little nearer than the copies.
    if (passes.lineCopies > 0) glTranslatef(0.0f, 0.0f, 0.1f);
    drawLineCopies(passes, t, look);
}
