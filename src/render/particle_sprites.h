// Drawing of the particle set: point sprites in size bands, and a line strip through the
// first particles.
#pragma once

// What a drawParticles call draws. The first two draw the same points: the fluid stage
// uses Points for the squeezed copy and the wall, CopyPoints for the three copies.
enum class ParticleDrawing : int {
    Points = 0,
    CopyPoints = 1,
    PointsAndLines = 2,  // the points, then the line strip with particleLineProgram
};

// Draws the particles as the frame at demo time t shows them. Needs a GL context. The
// line budget it draws with is lowered by the ticks (lowerLineBudget).
void drawParticles(ParticleDrawing mode, float t);
