// Drawing of the particle set: point sprites in size bands, and a line strip through the
// first particles. The positions go up to GL once a frame, into one buffer object that
// every copy and size band draws from.
#pragma once

#include <span>

#include "sim/particles.h"

// What a drawParticles call draws. The first two draw the same points: the fluid stage
// uses Points for the squeezed copy and the wall, CopyPoints for the three copies.
enum class ParticleDrawing : int {
    Points = 0,
    CopyPoints = 1,
    PointsAndLines = 2,  // the points, then the line strip with the look's lineProgram
};

// What one drawParticles call draws with: the frame's values and the copy's size factors.
struct ParticleLook {
    float tint = 1.0f;  // factor on the point colour
    int particleCount = 0;
    int sizeLayerCount = 0;
    float minPar = 1.0f;
    float maxPar = 6.0f;
    float lineVertexCount = 0.0f;  // particles joined by the line strip
    unsigned int lineProgram = 0;  // program of the line pass
};

// The buffer object the frame's positions live in; made on the first upload.
struct ParticleBuffer {
    unsigned int name = 0;
};
extern ParticleBuffer particleBuffer;

// Hands the frame's positions to GL: one upload a frame, before any drawParticles call.
void uploadParticlePositions(std::span<const ParticlePosition> positions);

// Draws the uploaded particles as the frame at demo time t shows them. Needs a GL context.
void drawParticles(ParticleDrawing mode, float t, const ParticleLook& look);
