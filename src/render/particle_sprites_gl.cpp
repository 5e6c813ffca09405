// Drawing of the particle set as point sprites in size bands, plus the line strip.
#include "render/particle_sprites.h"

#include <algorithm>

#include "base/config.h"
#include "base/cue_times.h"
#include "base/gl.h"
#include "render/shaders.h"
#include "render/textures.h"
#include "sim/particles.h"

void drawParticles(ParticleDrawing mode, float t) {
    glEnable(GL_BLEND);
    glEnable(GL_POINT_SMOOTH);
    glHint(GL_POINT_SMOOTH_HINT, GL_NICEST);

    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, textures.particleSpriteTexture);
    glEnable(GL_POINT_SPRITE);
    glTexEnvi(GL_POINT_SPRITE, GL_COORD_REPLACE, GL_TRUE);
    glLineWidth(2.0f);

    const float c = particles.particleImageTint;
    glColor4f(0.25f * c, 0.27f * c, 0.28f * c, 0.0f);
    glBlendFunc(GL_ONE_MINUS_SRC_COLOR, GL_ONE);
    glUseProgram(0);

    if (t > kIntroEnd) {
        glEnableClientState(GL_VERTEX_ARRAY);
        glVertexPointer(2, GL_FLOAT, 0, particles.particlePositions.data());
        const int layers = particles.sizeLayerCount;
        // Band 0 and the remainder past layers * band are not drawn.
        if (particleBandLength(particles.particleCount, layers) > 0) {
            for (int i = 1; i < layers; ++i) {
                const ParticleBand band = particleBand(i, particles.particleCount, layers, particles.MIN_PAR,
                                                       particles.MAX_PAR, screen.screenHeight);
                glPointSize(band.pointSize);
                glDrawArrays(GL_POINTS, band.first, band.count);
            }
        }
        glDisableClientState(GL_VERTEX_ARRAY);
        glDisable(GL_TEXTURE_2D);
    }
    // Mesa's software GL also replaces the texture coordinates of later quads while
    // point sprites are on; keep them on only for the points.
    glDisable(GL_POINT_SPRITE);

    GLint previousProgram = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &previousProgram);
    useProgram(particles.particleLineProgram);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    if (mode == ParticleDrawing::PointsAndLines) {
        glDisable(GL_TEXTURE_2D);
        glColor4f(1.0f, 0.9f, 0.9f, 0.04f);
        const int lineVertices = std::min(static_cast<int>(particles.lineVertexCount), kMaxParticles);
        glEnableClientState(GL_VERTEX_ARRAY);
        glVertexPointer(2, GL_FLOAT, 0, particles.particlePositions.data());
        if (lineVertices > 0) glDrawArrays(GL_LINE_STRIP, 0, lineVertices);
        glDisableClientState(GL_VERTEX_ARRAY);
    }

    glUseProgram(static_cast<GLuint>(previousProgram));
}
