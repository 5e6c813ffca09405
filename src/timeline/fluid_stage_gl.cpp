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

}  // namespace

void renderParticleImage(float t) {
    bindRenderTarget(targets.largeTarget);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glPointSize(1.0f);
    glLineWidth(1.0f);

    uploadParticlePositions(frameView.particlePositions);
    const ParticleLook look = frameParticleLook();
    const ParticleLayout layout = particleLayoutAt(t);
    if (layout == ParticleLayout::Squeezed) {
        glTranslatef(0.0f, 0.1f, 0.0f);
        glScalef(1.0f, 0.8f, 1.0f);
        drawParticles(ParticleDrawing::Points, t, look);
        drawParticles(ParticleDrawing::PointsAndLines, t, look);
        return;
    }

    glEnable(GL_TEXTURE_2D);
    if (layout == ParticleLayout::Wall) {
        // 25 by 12 copies of the periodic fluid, turning and coming closer, with smaller points.
        ParticleLook wallLook = look;
        wallLook.maxPar = 0.25f * look.maxPar;
        glPushMatrix();
        applyTransforms(wallPlacementAt(t));
        for (int row = 0; row < 12; ++row) {
            for (int column = 0; column < 25; ++column) {
                drawParticles(ParticleDrawing::Points, t, wallLook);
                glTranslatef(1.0f, 0.0f, 0.0f);
            }
            glTranslatef(-25.0f, -1.0f, 0.0f);
        }
        glPopMatrix();
    } else {
        glPushMatrix();
        glTranslatef(-0.15f, 0.0f, -0.1f);
        drawParticles(ParticleDrawing::CopyPoints, t, look);
        glTranslatef(1.0f, 0.0f, 0.0f);
        drawParticles(ParticleDrawing::CopyPoints, t, look);
        glTranslatef(1.0f, 0.0f, 0.0f);
        drawParticles(ParticleDrawing::CopyPoints, t, look);
        glPopMatrix();
    }

    if (lineCopiesShown(t)) {
        glTranslatef(0.0f, 0.0f, 0.1f);
        drawParticles(ParticleDrawing::PointsAndLines, t, look);
        glTranslatef(1.0f, 0.0f, 0.0f);
        drawParticles(ParticleDrawing::PointsAndLines, t, look);
    }
}
