// The particle advance: respawn and wrap, the ride on the fluid's velocity field and the
// late-run shaping, one particle at a time or eight at a time; and the drawn size bands.
#include "sim/particles.h"

#include <algorithm>
#include <cmath>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "base/cue_times.h"
#include "base/random.h"
#include "sim/fluid.h"
#include "sim/particle_map.h"

ParticleState particles;

// --- Lattice sampling: cells, spans and bilinear weights ---
namespace {

// Respawn tries before checking that the lattice has a fluid cell at all, and the bound
// on tries after that (a lattice whose only fluid cells are in the rarely drawn last
// column or row could otherwise keep drawing for a very long time).
constexpr int kRespawnTriesBeforeCheck = 64;
constexpr int kMaxRespawnTries = 1 << 20;

// A unit position times the grid size less one is its place on the lattice, 0..49.
constexpr float kGridSpan = static_cast<float>(kGridSize - 1);
// Positions shifted into the second grid width lie below twice the grid size, 100.
constexpr float kShiftedLimit = static_cast<float>(2 * kGridSize);

// trunc(shifted) mod 50 with a result in 0..49 for every input, NaN included.
[[gnu::always_inline]] inline int latticeCell(float shifted) {
    // Positions in the unit square give 50..100: one subtraction does the modulo.
    if (shifted >= 0.0f && shifted < kShiftedLimit) {
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
    return {cellIndex(sx.c0, sy.c0),
            cellIndex(sx.c1, sy.c0),
            cellIndex(sx.c1, sy.c1),
            cellIndex(sx.c0, sy.c1),
            (1.0f - r) * (1.0f - q),
            r * (1.0f - q),
            r * q,
            (1.0f - r) * q};
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

float sampleBilinear(const float* field, float gx, float gy) { return interpolate(field, bilinearWeights(gx, gy)); }

// --- Placing particles: scatter and respawn ---
void scatterParticles() {
    for (ParticlePosition& p : particles.particlePositions) {
        p.x = randUnit();
        p.y = randUnit();
    }
}

void respawnParticle(float& x, float& y) {
    for (int tries = 1; tries <= kMaxRespawnTries; ++tries) {
        const float nx = randUnit();
        const float ny = randUnit();
        const int cell = cellIndex(spanOf(kGridSpan * nx).c0, spanOf(kGridSpan * ny).c0);
        if (fluidGrid.obstacle[cell] == 0) {
            x = nx;
            y = ny;
            return;
        }
        if (tries == kRespawnTriesBeforeCheck && !latticeHasFluidCell()) break;
    }
    // No fluid cell to land in: the particle keeps its place.
}

// --- One at a time ---
namespace {

// Everything of one step that depends on the time alone, decided once for all particles.
struct StepConstants {
    float dt;
    float countF;
    bool late;
    bool tremor;
    float tremorScale;
    float squeeze;
    bool forming;
    float pull;
    float keep;
    bool damping;
    float dampX;
    float dampY;
    bool wrapOnly;
    float chance;
};

// Leaving the square: vertical exits wrap; sideways exits wrap or, by chance, respawn.
// Only the sideways exits draw random numbers. True when the particle left (and so jumped).
[[gnu::always_inline]] inline bool leaveSquare(float& x, float& y, const StepConstants& step) {
    const bool left = x < 0.0f || y < 0.0f || x > 1.0f || y > 1.0f;
    if (x < 0.0f) {
        if (step.wrapOnly) {
            x += 1.0f;
        } else if (randUnit() <= step.chance && !step.late) {
            respawnParticle(x, y);
        } else {
            x += 1.0f;
        }
    }
    if (y < 0.0f) y += 1.0f;
    if (x > 1.0f) {
        if (step.wrapOnly) {
            x -= 1.0f;
        } else if (randUnit() <= step.chance && !step.late) {
            respawnParticle(x, y);
        } else {
            x -= 1.0f;
        }
    }
    if (y > 1.0f) y -= 1.0f;
    return left;
}

// One particle, one at a time: handles every position, NaN and far outside included.
[[gnu::always_inline]] inline void advanceOne(int i, const StepConstants& step) {
    ParticlePosition& p = particles.particlePositions[static_cast<std::size_t>(i)];
    float x = p.x;
    float y = p.y;
    // Later particles take longer steps.
    const float s = step.dt + static_cast<float>(i) * step.dt / step.countF;
    const BilinearWeights w = bilinearWeights(kGridSpan * x, kGridSpan * y);
    float vx = interpolate(fluidGrid.velocityX, w);
    float vy = interpolate(fluidGrid.velocityY, w);

    if (!step.forming) {
        x += s * vx;
        y += s * vy;
        if (step.tremor) {
            x += (0.5f - randUnit()) * step.tremorScale;
            y += (0.5f - randUnit()) * 0.001f;
        }
        if (step.late) y -= s * 0.009f * step.squeeze * (y - 0.5f);
    } else {
        if (step.damping && logoPixelUnder(x, y) == 0) {
            vx *= step.dampX;
            vy *= step.dampY;
        }
        const ParticlePosition target = particleMap.particleTargets[static_cast<std::size_t>(i)];
        x = x + s * vx * step.keep - 0.14f * s * s * step.pull * (x - target.x);
        y = y + s * vy * step.keep - 0.085f * s * s * step.pull * (y - target.y);
    }
    if (leaveSquare(x, y, step)) particles.particleJumped[static_cast<std::size_t>(i)] = 1;
    p.x = x;
    p.y = y;
}

void advanceRange(int first, int end, const StepConstants& step) {
    for (int i = first; i < end; ++i) advanceOne(i, step);
}

// --- Eight at a time (AVX2), bit-identical to one at a time ---
#if defined(__x86_64__)
// Eight particles at a time with AVX2. Every lane performs the same float operations in
// the same order as advanceOne, so the results are bit-identical. That needs plain
// multiplies and adds: the avx2 target has no FMA to contract a * b + c into (and the
// build turns contraction off for every target).
constexpr int kLanes = 8;

__attribute__((target("avx2"))) inline __m256 vecAbove(__m256 a, __m256 b) { return _mm256_cmp_ps(a, b, _CMP_GT_OQ); }
__attribute__((target("avx2"))) inline __m256 vecBelow(__m256 a, __m256 b) { return _mm256_cmp_ps(a, b, _CMP_LT_OQ); }

// x0 y0 x1 y1 ... x7 y7 in two registers to x0..x7 and y0..y7.
__attribute__((target("avx2"))) inline void loadPairs(const float* pairs, __m256& xs, __m256& ys) {
    const __m256 a = _mm256_loadu_ps(pairs);
    const __m256 b = _mm256_loadu_ps(pairs + kLanes);
    // Each shuffle gives lanes in the order 0 1 4 5 2 3 6 7; the permute restores it.
    const __m256 evens = _mm256_shuffle_ps(a, b, _MM_SHUFFLE(2, 0, 2, 0));
    const __m256 odds = _mm256_shuffle_ps(a, b, _MM_SHUFFLE(3, 1, 3, 1));
    xs = _mm256_castpd_ps(_mm256_permute4x64_pd(_mm256_castps_pd(evens), _MM_SHUFFLE(3, 1, 2, 0)));
    ys = _mm256_castpd_ps(_mm256_permute4x64_pd(_mm256_castps_pd(odds), _MM_SHUFFLE(3, 1, 2, 0)));
}

__attribute__((target("avx2"))) inline void storePairs(float* pairs, __m256 xs, __m256 ys) {
    const __m256 low = _mm256_unpacklo_ps(xs, ys);   // x0 y0 x1 y1 | x4 y4 x5 y5
    const __m256 high = _mm256_unpackhi_ps(xs, ys);  // x2 y2 x3 y3 | x6 y6 x7 y7
    _mm256_storeu_ps(pairs, _mm256_permute2f128_ps(low, high, 0x20));
    _mm256_storeu_ps(pairs + kLanes, _mm256_permute2f128_ps(low, high, 0x31));
}

// latticeCell of a shifted coordinate known to lie in [0, 100).
__attribute__((target("avx2"))) inline __m256i vecLatticeCell(__m256 shifted) {
    const __m256i whole = _mm256_cvttps_epi32(shifted);
    const __m256i wraps = _mm256_cmpgt_epi32(whole, _mm256_set1_epi32(kGridSize - 1));
    return _mm256_sub_epi32(whole, _mm256_and_si256(wraps, _mm256_set1_epi32(kGridSize)));
}

__attribute__((target("avx2"))) inline __m256 vecSample(const float* field, __m256i i00, __m256i i10, __m256i i11,
                                                        __m256i i01, __m256 w00, __m256 w10, __m256 w11, __m256 w01) {
    __m256 sum = _mm256_mul_ps(w00, _mm256_i32gather_ps(field, i00, 4));
    sum = _mm256_add_ps(sum, _mm256_mul_ps(w10, _mm256_i32gather_ps(field, i10, 4)));
    sum = _mm256_add_ps(sum, _mm256_mul_ps(w11, _mm256_i32gather_ps(field, i11, 4)));
    return _mm256_add_ps(sum, _mm256_mul_ps(w01, _mm256_i32gather_ps(field, i01, 4)));
}

// The four corner values of both velocity fields for every cell as the lower corner of a
// unit span (x and y neighbours one further, wrapping at 49): vx00 vx10 vx11 vx01 vy00 vy10
// vy11 vy01. One aligned load of a particle's row and a transpose replace eight gathers,
// which are slow on many processors. Remade on every advance: the fields change between them.
struct alignas(32) CornerRow {
    float v[8];
};
std::array<CornerRow, kCellCount> cornerRows;

void fillCornerRows() {
    for (int y = 0; y < kGridSize; ++y) {
        const int y1 = y + 1 == kGridSize ? 0 : y + 1;
        for (int x = 0; x < kGridSize; ++x) {
            const int x1 = x + 1 == kGridSize ? 0 : x + 1;
            const int corners[4] = {cellIndex(x, y), cellIndex(x1, y), cellIndex(x1, y1), cellIndex(x, y1)};
            float* const row = cornerRows[static_cast<std::size_t>(cellIndex(x, y))].v;
            for (int k = 0; k < 4; ++k) {
                row[k] = fluidGrid.velocityX[corners[k]];
                row[4 + k] = fluidGrid.velocityY[corners[k]];
            }
        }
    }
}

// Rows r0..r7 (one a lane) to columns: out[k] holds corner k of every lane.
__attribute__((target("avx2"))) inline void transposeRows(const __m256 (&r)[kLanes], __m256 (&out)[kLanes]) {
    const __m256 t0 = _mm256_unpacklo_ps(r[0], r[1]);
    const __m256 t1 = _mm256_unpackhi_ps(r[0], r[1]);
    const __m256 t2 = _mm256_unpacklo_ps(r[2], r[3]);
    const __m256 t3 = _mm256_unpackhi_ps(r[2], r[3]);
    const __m256 t4 = _mm256_unpacklo_ps(r[4], r[5]);
    const __m256 t5 = _mm256_unpackhi_ps(r[4], r[5]);
    const __m256 t6 = _mm256_unpacklo_ps(r[6], r[7]);
    const __m256 t7 = _mm256_unpackhi_ps(r[6], r[7]);
    const __m256 u0 = _mm256_shuffle_ps(t0, t2, _MM_SHUFFLE(1, 0, 1, 0));
    const __m256 u1 = _mm256_shuffle_ps(t0, t2, _MM_SHUFFLE(3, 2, 3, 2));
    const __m256 u2 = _mm256_shuffle_ps(t1, t3, _MM_SHUFFLE(1, 0, 1, 0));
    const __m256 u3 = _mm256_shuffle_ps(t1, t3, _MM_SHUFFLE(3, 2, 3, 2));
    const __m256 u4 = _mm256_shuffle_ps(t4, t6, _MM_SHUFFLE(1, 0, 1, 0));
    const __m256 u5 = _mm256_shuffle_ps(t4, t6, _MM_SHUFFLE(3, 2, 3, 2));
    const __m256 u6 = _mm256_shuffle_ps(t5, t7, _MM_SHUFFLE(1, 0, 1, 0));
    const __m256 u7 = _mm256_shuffle_ps(t5, t7, _MM_SHUFFLE(3, 2, 3, 2));
    out[0] = _mm256_permute2f128_ps(u0, u4, 0x20);
    out[1] = _mm256_permute2f128_ps(u1, u5, 0x20);
    out[2] = _mm256_permute2f128_ps(u2, u6, 0x20);
    out[3] = _mm256_permute2f128_ps(u3, u7, 0x20);
    out[4] = _mm256_permute2f128_ps(u0, u4, 0x31);
    out[5] = _mm256_permute2f128_ps(u1, u5, 0x31);
    out[6] = _mm256_permute2f128_ps(u2, u6, 0x31);
    out[7] = _mm256_permute2f128_ps(u3, u7, 0x31);
}

// The lattice's next column (or row) after c, wrapping after 49.
__attribute__((target("avx2"))) inline __m256i vecNextCell(__m256i c) {
    const __m256i next = _mm256_add_epi32(c, _mm256_set1_epi32(1));
    const __m256i wraps = _mm256_cmpeq_epi32(next, _mm256_set1_epi32(kGridSize));
    return _mm256_sub_epi32(next, _mm256_and_si256(wraps, _mm256_set1_epi32(kGridSize)));
}

// Whole blocks from particle 0 on; returns the number of particles done. A block with
// any lane outside the common lattice range goes through advanceOne whole; lanes leaving
// the square sideways finish one at a time in particle order, as they draw random numbers.
__attribute__((target("avx2"))) int advanceBlocksAvx2(int count, const StepConstants& step) {
    const int blockEnd = count / kLanes * kLanes;
    const __m256 one = _mm256_set1_ps(1.0f);
    const __m256 zero = _mm256_setzero_ps();
    const __m256 dt = _mm256_set1_ps(step.dt);
    const __m256 countF = _mm256_set1_ps(step.countF);
    const __m256 gridScale = _mm256_set1_ps(kGridSpan);
    const __m256 shift0 = _mm256_set1_ps(static_cast<float>(kGridSize));
    const __m256 shift1 = _mm256_set1_ps(static_cast<float>(kGridSize + 1));
    const __m256 shiftLimit = _mm256_set1_ps(kShiftedLimit);
    const __m256i rowStride = _mm256_set1_epi32(kGridSize);
    const __m256i unitSpan = _mm256_set1_epi32(1);
    const __m256i laneIndex = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    float* const positions = &particles.particlePositions[0].x;
    const float* const targets = &particleMap.particleTargets[0].x;

    for (int first = 0; first < blockEnd; first += kLanes) {
        __m256 x;
        __m256 y;
        loadPairs(positions + 2 * first, x, y);
        const __m256 gx = _mm256_mul_ps(gridScale, x);
        const __m256 gy = _mm256_mul_ps(gridScale, y);
        const __m256 sx0 = _mm256_add_ps(gx, shift0);
        const __m256 sx1 = _mm256_add_ps(gx, shift1);
        const __m256 sy0 = _mm256_add_ps(gy, shift0);
        const __m256 sy1 = _mm256_add_ps(gy, shift1);
        // The one-subtraction lattice cell needs every shifted coordinate in [0, 100).
        // The sum with 51 is never below the one with 50, so two bounds per axis do;
        // the ordered compares also send NaN to the particle-by-particle path.
        const __m256 insideX = _mm256_and_ps(_mm256_cmp_ps(sx0, zero, _CMP_GE_OQ), vecBelow(sx1, shiftLimit));
        const __m256 insideY = _mm256_and_ps(_mm256_cmp_ps(sy0, zero, _CMP_GE_OQ), vecBelow(sy1, shiftLimit));
        if (_mm256_movemask_ps(_mm256_and_ps(insideX, insideY)) != 0xff) {
            advanceRange(first, first + kLanes, step);
            continue;
        }

        const __m256i cx0 = vecLatticeCell(sx0);
        const __m256i cx1 = vecLatticeCell(sx1);
        const __m256i cy0 = vecLatticeCell(sy0);
        const __m256i cy1 = vecLatticeCell(sy1);
        const __m256i spanX = _mm256_sub_epi32(cx1, cx0);
        const __m256i spanY = _mm256_sub_epi32(cy1, cy0);
        __m256 r = _mm256_sub_ps(gx, _mm256_cvtepi32_ps(cx0));
        __m256 q = _mm256_sub_ps(gy, _mm256_cvtepi32_ps(cy0));
        // The usual span of 1 divides exactly, so the division is only needed for a
        // wrapped neighbour (-49) or a rounding-split pair.
        const __m256i unit = _mm256_and_si256(_mm256_cmpeq_epi32(spanX, unitSpan), _mm256_cmpeq_epi32(spanY, unitSpan));
        if (_mm256_movemask_epi8(unit) != -1) {
            r = _mm256_div_ps(r, _mm256_cvtepi32_ps(spanX));
            q = _mm256_div_ps(q, _mm256_cvtepi32_ps(spanY));
        }
        const __m256 rc = _mm256_sub_ps(one, r);
        const __m256 qc = _mm256_sub_ps(one, q);
        const __m256 w00 = _mm256_mul_ps(rc, qc);
        const __m256 w10 = _mm256_mul_ps(r, qc);
        const __m256 w11 = _mm256_mul_ps(r, q);
        const __m256 w01 = _mm256_mul_ps(rc, q);
        const __m256i row0 = _mm256_mullo_epi32(cy0, rowStride);
        const __m256i row1 = _mm256_mullo_epi32(cy1, rowStride);
        const __m256i i00 = _mm256_add_epi32(row0, cx0);
        const __m256i i10 = _mm256_add_epi32(row0, cx1);
        const __m256i i11 = _mm256_add_epi32(row1, cx1);
        const __m256i i01 = _mm256_add_epi32(row1, cx0);
        __m256 vx;
        __m256 vy;
        // The corner rows serve lanes whose upper neighbours are the next cells; a pair
        // split by rounding (rare) samples the fields directly.
        const __m256i regular = _mm256_and_si256(_mm256_cmpeq_epi32(cx1, vecNextCell(cx0)),
                                                 _mm256_cmpeq_epi32(cy1, vecNextCell(cy0)));
        if (_mm256_movemask_epi8(regular) == -1) {
            alignas(32) int cells[kLanes];
            _mm256_store_si256(reinterpret_cast<__m256i*>(cells), i00);
            __m256 rows[kLanes];
            for (int lane = 0; lane < kLanes; ++lane) {
                rows[lane] = _mm256_load_ps(cornerRows[static_cast<std::size_t>(cells[lane])].v);
            }
            __m256 c[kLanes];
            transposeRows(rows, c);
            // The sums in vecSample's order, so the result is the same to the bit.
            vx = _mm256_add_ps(_mm256_add_ps(_mm256_add_ps(_mm256_mul_ps(w00, c[0]), _mm256_mul_ps(w10, c[1])),
                                             _mm256_mul_ps(w11, c[2])),
                               _mm256_mul_ps(w01, c[3]));
            vy = _mm256_add_ps(_mm256_add_ps(_mm256_add_ps(_mm256_mul_ps(w00, c[4]), _mm256_mul_ps(w10, c[5])),
                                             _mm256_mul_ps(w11, c[6])),
                               _mm256_mul_ps(w01, c[7]));
        } else {
            vx = vecSample(fluidGrid.velocityX, i00, i10, i11, i01, w00, w10, w11, w01);
            vy = vecSample(fluidGrid.velocityY, i00, i10, i11, i01, w00, w10, w11, w01);
        }

        // Later particles take longer steps: s = dt + i dt / count.
        const __m256 index = _mm256_cvtepi32_ps(_mm256_add_epi32(_mm256_set1_epi32(first), laneIndex));
        const __m256 s = _mm256_add_ps(dt, _mm256_div_ps(_mm256_mul_ps(index, dt), countF));

        if (!step.forming) {
            x = _mm256_add_ps(x, _mm256_mul_ps(s, vx));
            y = _mm256_add_ps(y, _mm256_mul_ps(s, vy));
            if (step.late) {
                const __m256 strength = _mm256_mul_ps(_mm256_mul_ps(s, _mm256_set1_ps(0.009f)),
                                                      _mm256_set1_ps(step.squeeze));
                y = _mm256_sub_ps(y, _mm256_mul_ps(strength, _mm256_sub_ps(y, _mm256_set1_ps(0.5f))));
            }
        } else {
            if (step.damping) {
                // logoPixelUnder for finite positions: the clamps as max and min.
                __m256 column = _mm256_mul_ps(_mm256_set1_ps(static_cast<float>(kLogoWidth)), x);
                __m256 row = _mm256_mul_ps(_mm256_set1_ps(static_cast<float>(kLogoHeight)), _mm256_sub_ps(one, y));
                column = _mm256_max_ps(_mm256_min_ps(column, _mm256_set1_ps(static_cast<float>(kLogoWidth - 1))), zero);
                row = _mm256_max_ps(_mm256_min_ps(row, _mm256_set1_ps(static_cast<float>(kLogoHeight - 1))), zero);
                const __m256i pixelIndex = _mm256_add_epi32(
                    _mm256_mullo_epi32(_mm256_cvttps_epi32(column), _mm256_set1_epi32(kLogoHeight)),
                    _mm256_cvttps_epi32(row));
                const __m256i pixel = _mm256_i32gather_epi32(particleMap.logoPixels.data(), pixelIndex, 4);
                const __m256 black = _mm256_castsi256_ps(_mm256_cmpeq_epi32(pixel, _mm256_setzero_si256()));
                vx = _mm256_blendv_ps(vx, _mm256_mul_ps(vx, _mm256_set1_ps(step.dampX)), black);
                vy = _mm256_blendv_ps(vy, _mm256_mul_ps(vy, _mm256_set1_ps(step.dampY)), black);
            }
            __m256 tx;
            __m256 ty;
            loadPairs(targets + 2 * first, tx, ty);
            const __m256 keep = _mm256_set1_ps(step.keep);
            const __m256 pull = _mm256_set1_ps(step.pull);
            const __m256 pullX = _mm256_mul_ps(_mm256_mul_ps(_mm256_mul_ps(_mm256_set1_ps(0.14f), s), s), pull);
            const __m256 pullY = _mm256_mul_ps(_mm256_mul_ps(_mm256_mul_ps(_mm256_set1_ps(0.085f), s), s), pull);
            x = _mm256_sub_ps(_mm256_add_ps(x, _mm256_mul_ps(_mm256_mul_ps(s, vx), keep)),
                              _mm256_mul_ps(pullX, _mm256_sub_ps(x, tx)));
            y = _mm256_sub_ps(_mm256_add_ps(y, _mm256_mul_ps(_mm256_mul_ps(s, vy), keep)),
                              _mm256_mul_ps(pullY, _mm256_sub_ps(y, ty)));
        }

        // Vertical wraps for every lane (a blend, not an added zero, keeps -0 as it is).
        const __m256 wrapsUp = vecBelow(y, zero);
        __m256 wrappedY = _mm256_blendv_ps(y, _mm256_add_ps(y, one), wrapsUp);
        const __m256 wrapsDown = vecAbove(wrappedY, one);
        wrappedY = _mm256_blendv_ps(wrappedY, _mm256_sub_ps(wrappedY, one), wrapsDown);
        storePairs(positions + 2 * first, x, wrappedY);
        for (int wrapped = _mm256_movemask_ps(_mm256_or_ps(wrapsUp, wrapsDown)); wrapped != 0; wrapped &= wrapped - 1) {
            particles.particleJumped[static_cast<std::size_t>(first + __builtin_ctz(static_cast<unsigned>(wrapped)))] = 1;
        }

        // Sideways exits may draw and respawn: redo those lanes in order from the moved
        // position, before any wrap.
        int sideways = _mm256_movemask_ps(_mm256_or_ps(vecBelow(x, zero), vecAbove(x, one)));
        if (sideways != 0) {
            alignas(32) float movedX[kLanes];
            alignas(32) float movedY[kLanes];
            _mm256_store_ps(movedX, x);
            _mm256_store_ps(movedY, y);
            while (sideways != 0) {
                const int lane = __builtin_ctz(static_cast<unsigned>(sideways));
                sideways &= sideways - 1;
                float px = movedX[lane];
                float py = movedY[lane];
                leaveSquare(px, py, step);
                particles.particleJumped[static_cast<std::size_t>(first + lane)] = 1;
                particles.particlePositions[static_cast<std::size_t>(first + lane)] = {px, py};
            }
        }
    }
    return blockEnd;
}
#endif

}  // namespace

// --- The advance of all particles ---
void advanceParticles(float dt, bool late, float t) {
    const int count = std::min(particles.particleCount, kMaxParticles);
    if (count <= 0) return;

    StepConstants step{};
    step.dt = dt;
    step.countF = static_cast<float>(count);
    step.late = late;
    step.tremor = t > kTremorStart && t < kTremorEnd;
    step.tremorScale = (t - kTremorFaded) * 0.005f;
    step.squeeze = std::min((t - kCreditsIn) / 15.0f, 1.0f);
    step.forming = t > kCreditsOut;
    step.pull = std::min((t - kCreditsOut) / 34.0f, 1.0f);
    step.keep = 1.0f - step.pull;
    step.damping = t > kDampingStart;
    const float dampStrength = std::min((t - kDampingStart) / 14.0f, 1.0f);
    step.dampX = 1.0f - 0.65f * dampStrength;
    step.dampY = 1.0f - 0.55f * dampStrength;
    step.wrapOnly = t > kWrapStart && t < kWrapEnd;
    step.chance = particles.respawnChance;

    int done = 0;
#if defined(__x86_64__)
    // The tremor draws for every particle, so its short window stays one at a time.
    if (!step.tremor && __builtin_cpu_supports("avx2")) {
        fillCornerRows();
        done = advanceBlocksAvx2(count, step);
    }
#endif
    advanceRange(done, count, step);
}

// --- Size bands and the line budget ---
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

void lowerLineBudget(float t, float delta, int calls) {
    for (int i = 0; i < calls; ++i) {
        if (t > kLineFadeStart) particles.lineVertexCount -= 17.0f * delta;
        if (particles.lineVertexCount < 0.0f) particles.lineVertexCount = 0.0f;
    }
}
