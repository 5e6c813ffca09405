#include "fluid/particles.h"

#include <algorithm>
#include <cmath>

#include "fluid/fluid.h"
#include "fluid/particle_map.h"
#include "fluid/random.h"
#include "shell/demo_clock.h"

std::array<ParticlePosition, kMaxParticles> particlePositions{};

int particleCount = kMaxParticles;
float respawnChance = 0.0f;
float particleTint = 1.0f;
float MIN_PAR = 1.0f;
float MAX_PAR = 6.0f;
int sizeLayerCount = 20;
unsigned int particleLineProgram = 0;
float lineVertexCount = static_cast<float>(kMaxParticles / 80 - 1);

namespace {

// Respawn tries before checking that the lattice has a fluid cell at all, and the bound
// on tries after that (a lattice whose only fluid cells are in the rarely drawn last
// column or row could otherwise keep drawing for a very long time).
constexpr int kRespawnTriesBeforeCheck = 64;
constexpr int kMaxRespawnTries = 1 << 20;

// trunc(shifted) mod 50 with a result in 0..49 for every input, NaN included.
[[gnu::always_inline]] inline int latticeCell(float shifted) {
    // Positions in the unit square give 50..100: one subtraction does the modulo.
    if (shifted >= 0.0f && shifted < 100.0f) {
        const int whole = static_cast<int>(shifted);
        return whole >= kGridSize ? whole - kGridSize : whole;
    }
    if (shifted >= 0.0f && shifted < 1.0e9f) return static_cast<int>(shifted) % kGridSize;
    if (!(shifted == shifted)) return 0;  // NaN
    // Far outside or negative: wrap in double so the conversion cannot overflow.
    const double whole = std::trunc(static_cast<double>(shifted));
    double wrapped = std::fmod(whole, static_cast<double>(kGridSize));
    if (wrapped < 0.0) wrapped += kGridSize;
    return std::clamp(static_cast<int>(wrapped), 0, kGridSize - 1);
}

// Both neighbours are formed from the coordinate on their own, as c0 and c1 = c0 + 1 can
// differ by rounding.
[[gnu::always_inline]] inline LatticeSpan spanOf(float g) {
    return {latticeCell(g + static_cast<float>(kGridSize)), latticeCell(g + static_cast<float>(kGridSize + 1))};
}

// (g - c0) / (c1 - c0); the usual difference of 1 divides exactly, so it is skipped.
[[gnu::always_inline]] inline float spanFraction(float g, const LatticeSpan& span) {
    const int difference = span.c1 - span.c0;
    const float offset = g - static_cast<float>(span.c0);
    return difference == 1 ? offset : offset / static_cast<float>(difference);
}

// Bilinear weights of one lattice coordinate pair, shared by both velocity fields.
struct BilinearWeights {
    int i00, i10, i11, i01;
    float w00, w10, w11, w01;
};

[[gnu::always_inline]] inline BilinearWeights bilinearWeights(float gx, float gy) {
    const LatticeSpan sx = spanOf(gx);
    const LatticeSpan sy = spanOf(gy);
    // Plain integer differences: -49 when the upper neighbour wrapped to 0.
    const float r = spanFraction(gx, sx);
    const float q = spanFraction(gy, sy);
    return {cellIndex(sx.c0, sy.c0), cellIndex(sx.c1, sy.c0), cellIndex(sx.c1, sy.c1), cellIndex(sx.c0, sy.c1),
            (1.0f - r) * (1.0f - q),   r * (1.0f - q),           r * q,                    (1.0f - r) * q};
}

[[gnu::always_inline]] inline float interpolate(const float* field, const BilinearWeights& w) {
    return w.w00 * field[w.i00] + w.w10 * field[w.i10] + w.w11 * field[w.i11] + w.w01 * field[w.i01];
}

bool latticeHasFluidCell() {
    return std::any_of(std::begin(fluidGrid.obstacle), std::end(fluidGrid.obstacle), [](int v) { return v == 0; });
}

// Logo pixel under a position, the column and row clamped into the image (x = 1 and
// y = 0 would fall one past its edge).
inline int logoPixelUnder(float x, float y) {
    float column = static_cast<float>(kLogoWidth) * x;
    float row = static_cast<float>(kLogoHeight) * (1.0f - y);
    column = column >= 0.0f ? std::min(column, static_cast<float>(kLogoWidth - 1)) : 0.0f;
    row = row >= 0.0f ? std::min(row, static_cast<float>(kLogoHeight - 1)) : 0.0f;
    return logoPixel(static_cast<int>(column), static_cast<int>(row));
}

}  // namespace

LatticeSpan latticeSpan(float g) { return spanOf(g); }

float sampleBilinear(const float* field, float gx, float gy) {
    return interpolate(field, bilinearWeights(gx, gy));
}

void scatterParticles() {
    for (ParticlePosition& p : particlePositions) {
        p.x = randUnit();
        p.y = randUnit();
    }
}

void respawnParticle(float& x, float& y) {
    for (int tries = 1; tries <= kMaxRespawnTries; ++tries) {
        const float nx = randUnit();
        const float ny = randUnit();
        const int cell = cellIndex(spanOf(49.0f * nx).c0, spanOf(49.0f * ny).c0);
        if (fluidGrid.obstacle[cell] == 0) {
            x = nx;
            y = ny;
            return;
        }
        if (tries == kRespawnTriesBeforeCheck && !latticeHasFluidCell()) break;
    }
    // No fluid cell to land in: the particle keeps its place.
}

__attribute__((target_clones("avx2", "default"))) void advanceParticles(float dt, bool late) {
    const int count = std::min(particleCount, kMaxParticles);
    if (count <= 0) return;
    const float t = demoClock.time;

    // Everything that depends on the time alone, decided once for all particles.
    const bool tremor = t > 64.0f && t < 64.25f;
    const float tremorScale = (t - 65.0f) * 0.005f;
    const float squeeze = std::min((t - 155.0f) / 15.0f, 1.0f);
    const bool forming = t > 175.0f;
    const float pull = std::min((t - 175.0f) / 34.0f, 1.0f);
    const float keep = 1.0f - pull;
    const bool damping = t > 190.0f;
    const float dampStrength = std::min((t - 190.0f) / 14.0f, 1.0f);
    const float dampX = 1.0f - 0.65f * dampStrength;
    const float dampY = 1.0f - 0.55f * dampStrength;
    const bool wrapOnly = t > 45.5f && t < 58.5f;
    const float chance = respawnChance;
    const float countF = static_cast<float>(count);
    const float* const velocityX = fluidGrid.velocityX;
    const float* const velocityY = fluidGrid.velocityY;

    for (int i = 0; i < count; ++i) {
        ParticlePosition& p = particlePositions[static_cast<std::size_t>(i)];
        float x = p.x;
        float y = p.y;
        // Later particles take longer steps.
        const float s = dt + static_cast<float>(i) * dt / countF;
        const BilinearWeights w = bilinearWeights(49.0f * x, 49.0f * y);
        float vx = interpolate(velocityX, w);
        float vy = interpolate(velocityY, w);

        if (!forming) {
            x += s * vx;
            y += s * vy;
            if (tremor) {
                x += (0.5f - randUnit()) * tremorScale;
                y += (0.5f - randUnit()) * 0.001f;
            }
            if (late) y -= s * 0.009f * squeeze * (y - 0.5f);
        } else {
            if (damping && logoPixelUnder(x, y) == 0) {
                vx *= dampX;
                vy *= dampY;
            }
            const ParticlePosition target = particleTargets[static_cast<std::size_t>(i)];
            x = x + s * vx * keep - 0.14f * s * s * pull * (x - target.x);
            y = y + s * vy * keep - 0.085f * s * s * pull * (y - target.y);
        }

        // Vertical exits wrap; sideways exits wrap or, by chance, respawn.
        if (x < 0.0f) {
            if (wrapOnly) {
                x += 1.0f;
            } else if (randUnit() <= chance && !late) {
                respawnParticle(x, y);
            } else {
                x += 1.0f;
            }
        }
        if (y < 0.0f) y += 1.0f;
        if (x > 1.0f) {
            if (wrapOnly) {
                x -= 1.0f;
            } else if (randUnit() <= chance && !late) {
                respawnParticle(x, y);
            } else {
                x -= 1.0f;
            }
        }
        if (y > 1.0f) y -= 1.0f;
        p.x = x;
        p.y = y;
    }
}

int particleBandLength(int count, int layers) {
    if (count <= 0 || layers <= 1) return 0;
    return static_cast<int>(static_cast<float>(std::min(count, kMaxParticles)) / static_cast<float>(layers));
}

ParticleBand particleBand(int i, int count, int layers, float minPar, float maxPar, int pictureHeight) {
    const int length = particleBandLength(count, layers);
    const float f = layers > 1 ? static_cast<float>(i) / static_cast<float>(layers - 1) : 0.0f;
    const float size = ((1.0f - f) * minPar + f * maxPar) * (static_cast<float>(pictureHeight) * 0.5f / 720.0f);
    return {i * length, length, size};
}
