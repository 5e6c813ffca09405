// Draws the particle image: the particle copies in their layout and the line copies. The
// drawing changes nothing the ticks read (their layout rules are applyLayoutRules): it
// sets the line pass's program, and lowers MAX_PAR for the wall only while it draws it.
#include "timeline/fluid_stage.h"

#include "base/gl.h"
#include "render/particle_sprites.h"
#include "render/render_targets.h"
#include "render/shaders.h"
#include "sim/particles.h"

void moveCamera(float t) { applyTransforms(cameraMovesAt(t)); }

void driftCamera(float t) { applyTransforms(driftMovesAt(t)); }

void renderParticleImage(float t) {
    bindRenderTarget(targets.largeTarget);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glPointSize(1.0f);
    glLineWidth(1.0f);

    const ParticleLayout layout = particleLayoutAt(t);
    if (layout == ParticleLayout::Squeezed) {
        glTranslatef(0.0f, 0.1f, 0.0f);
        glScalef(1.0f, 0.8f, 1.0f);
        drawParticles(ParticleDrawing::Points, t);
        particles.particleLineProgram = programs.lineGeomProgram;
        drawParticles(ParticleDrawing::PointsAndLines, t);
        return;
    }

    glEnable(GL_TEXTURE_2D);
    if (layout == ParticleLayout::Wall) {
        // 25 by 12 copies of the periodic fluid, turning and coming closer.
        glPushMatrix();
        const float savedMaxPar = particles.MAX_PAR;
        particles.MAX_PAR = 0.25f * particles.MAX_PAR;
        applyTransforms(wallPlacementAt(t));
        for (int row = 0; row < 12; ++row) {
            for (int column = 0; column < 25; ++column) {
                drawParticles(ParticleDrawing::Points, t);
                glTranslatef(1.0f, 0.0f, 0.0f);
            }
            glTranslatef(-25.0f, -1.0f, 0.0f);
        }
        particles.MAX_PAR = savedMaxPar;
        glPopMatrix();
    } else {
        glPushMatrix();
        glTranslatef(-0.15f, 0.0f, -0.1f);
        drawParticles(ParticleDrawing::CopyPoints, t);
        glTranslatef(1.0f, 0.0f, 0.0f);
        drawParticles(ParticleDrawing::CopyPoints, t);
        glTranslatef(1.0f, 0.0f, 0.0f);
        drawParticles(ParticleDrawing::CopyPoints, t);
        glPopMatrix();
    }

    if (lineCopiesShown(t)) {
        glTranslatef(0.0f, 0.0f, 0.1f);
        particles.particleLineProgram = programs.lineGeomProgram;
        drawParticles(ParticleDrawing::PointsAndLines, t);
        glTranslatef(1.0f, 0.0f, 0.0f);
        particles.particleLineProgram = programs.lineGeomProgram;
        drawParticles(ParticleDrawing::PointsAndLines, t);
    }
}
