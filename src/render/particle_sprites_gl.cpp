// Drawing of the particle set as point sprites in size bands, plus the line strip.
#include "render/particle_sprites.h"

#include <algorithm>

#include "base/config.h"
#include "base/cue_times.h"
#include "base/gl.h"
#include "render/shaders.h"
#include "render/textures.h"

ParticleBuffer particleBuffer;

void uploadParticlePositions(std::span<const ParticlePosition> positions) {
    if (particleBuffer.name == 0) glGenBuffers(1, &particleBuffer.name);
    glBindBuffer(GL_ARRAY_BUFFER, particleBuffer.name);
    // A new store every frame: the driver need not wait for draws still reading the last one.
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(positions.size_bytes()), positions.data(), GL_STREAM_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

namespace {

// The uploaded positions as the vertex array; unbound again after, as the other drawings
// hand their vertices from client memory.
void bindPositions() {
    glBindBuffer(GL_ARRAY_BUFFER, particleBuffer.name);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(2, GL_FLOAT, 0, nullptr);
}

void unbindPositions() {
    glDisableClientState(GL_VERTEX_ARRAY);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

}  // namespace

void drawParticles(ParticleDrawing mode, float t, const ParticleLook& look) {
    glEnable(GL_BLEND);
    glEnable(GL_POINT_SMOOTH);
    glHint(GL_POINT_SMOOTH_HINT, GL_NICEST);

    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, textures.particleSpriteTexture);
    glEnable(GL_POINT_SPRITE);
    glTexEnvi(GL_POINT_SPRITE, GL_COORD_REPLACE, GL_TRUE);
    glLineWidth(2.0f);

    const float c = look.tint;
    glColor4f(0.25f * c, 0.27f * c, 0.28f * c, 0.0f);
    glBlendFunc(GL_ONE_MINUS_SRC_COLOR, GL_ONE);
    glUseProgram(0);

    if (t > kIntroEnd) {
        bindPositions();
        const int layers = look.sizeLayerCount;
        // Band 0 and the remainder past layers * band are not drawn.
        if (particleBandLength(look.particleCount, layers) > 0) {
            for (int i = 1; i < layers; ++i) {
                const ParticleBand band =
                    particleBand(i, look.particleCount, layers, look.minPar, look.maxPar, screen.screenHeight);
                glPointSize(band.pointSize);
                glDrawArrays(GL_POINTS, band.first, band.count);
            }
        }
        unbindPositions();
        glDisable(GL_TEXTURE_2D);
    }
    // Mesa's software GL also replaces the texture coordinates of later quads while
    // point sprites are on; keep them on only for the points.
    glDisable(GL_POINT_SPRITE);

    GLint previousProgram = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &previousProgram);
    useProgram(look.lineProgram);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    if (mode == ParticleDrawing::PointsAndLines) {
        glDisable(GL_TEXTURE_2D);
        glColor4f(1.0f, 0.9f, 0.9f, 0.04f);
        const int lineVertices = std::min(static_cast<int>(look.lineVertexCount), kMaxParticles);
        bindPositions();
        if (lineVertices > 0) glDrawArrays(GL_LINE_STRIP, 0, lineVertices);
        unbindPositions();
    }

    glUseProgram(static_cast<GLuint>(previousProgram));
}
