// The particle set: up to kMaxParticles points in the unit square, carried by the lattice
// fluid, squeezed towards the middle line from kCreditsIn and pulled onto the end logo
// from kCreditsOut. Drawn as point sprites in size bands.
#pragma once

#include <array>
#include <cstdint>

inline constexpr int kMaxParticles = 100000;

// Tightly packed: ParticleState::particlePositions goes to GL as a vertex array.
struct ParticlePosition {
    float x, y;
};
static_assert(sizeof(ParticlePosition) == 2 * sizeof(float));

// The particle set and the values its drawing reads, living for the whole run.
struct ParticleState {
    // Two floats a particle, as a vertex array takes them.
    std::array<ParticlePosition, kMaxParticles> particlePositions{};
    // 1 for a particle that wrapped or respawned since the flags were last cleared: a frame
    // between two ticks draws it where it now is, not on the way across the picture.
    std::array<std::uint8_t, kMaxParticles> particleJumped{};
    int particleCount = kMaxParticles;  // particles 0..particleCount-1 move and are drawn
    float respawnChance = 0.0f;         // chance that a particle leaving sideways is respawned
    float particleTint = 1.0f;          // factor on the point colour
    // The tint the particle image is drawn with: particleTint before the latest tick's
    // fade, since the image has always been drawn before the layers fade in a frame.
    float particleImageTint = 1.0f;
    float MIN_PAR = 1.0f;                  // point-size factor of the smallest band
    float MAX_PAR = 6.0f;                  // point-size factor of the largest band
    int sizeLayerCount = 20;               // number of point-size bands
    // Particles joined by the line strip: only ever lowered, and neither a seek nor a
    // reset puts it back.
    float lineVertexCount = static_cast<float>(kMaxParticles / 80 - 1);
};
extern ParticleState particles;

// Gives all kMaxParticles particles a uniform random position (x then y, one draw each).
void scatterParticles();
// Moves particles 0..particleCount-1 by one step of size dt at demo time t; late is
// demo time > kCreditsIn.
void advanceParticles(float dt, bool late, float t);
// Replaces a position by a random one whose lattice cell is fluid.
void respawnParticle(float& x, float& y);
// Bilinear interpolation of a 50 by 50 cell field at lattice coordinate (gx, gy), the
// unit square spanning 49 cells of the periodic lattice.
float sampleBilinear(const float* field, float gx, float gy);

// Surrounding lattice columns (or rows) of a lattice coordinate: c0 = trunc(g + 50) mod 50
// and c1 = trunc(g + 51) mod 50, kept inside the lattice for any coordinate.
struct LatticeSpan {
    int c0, c1;
};
LatticeSpan latticeSpan(float g);

// One size band of drawParticles: particles first..first+count-1 at the given point size.
struct ParticleBand {
    int first;
    int count;
    float pointSize;
};
// Particles per band, trunc(count / layers); 0 when nothing is drawn.
int particleBandLength(int count, int layers);
// Band i (1..layers-1) for the given count, layer number, size factors and picture height.
ParticleBand particleBand(int i, int count, int layers, float minPar, float maxPar, int pictureHeight);

// The line budget of `calls` drawParticles calls at t: after kLineFadeStart each lowers
// lineVertexCount by 17 delta; it never goes below 0.
void lowerLineBudget(float t, float delta, int calls);
