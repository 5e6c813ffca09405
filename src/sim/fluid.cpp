// The lattice fluid's step: the obstacle-aware streaming table, and collision and streaming
// one row of cells at a time.
#include "sim/fluid.h"

#include <algorithm>

FluidGrid fluidGrid;

namespace {

// The neighbour of every cell in every direction on the periodic lattice, built once.
struct NeighbourTable {
    int cell[kCellCount][kDirectionCount];
};

constexpr NeighbourTable makeNeighbourTable() {
    NeighbourTable table{};
    for (int y = 0; y < kGridSize; ++y) {
        for (int x = 0; x < kGridSize; ++x) {
            for (int k = 0; k < kDirectionCount; ++k) {
                const int nx = (x + kDirectionX[k] + kGridSize) % kGridSize;
                const int ny = (y + kDirectionY[k] + kGridSize) % kGridSize;
                table.cell[cellIndex(x, y)][k] = cellIndex(nx, ny);
            }
        }
    }
    return table;
}

constexpr NeighbourTable kNeighbours = makeNeighbourTable();

// OMEGA - 1 in single precision, as the collision uses it.
constexpr float kOmegaMinusOne = OMEGA - 1.0f;

// Destination slot of every (cell, direction) for the current obstacles: the neighbour's
// slot in the same direction, or the cell's own opposite slot when the neighbour is solid
// (bounce-back). Rebuilt only when the obstacles differ from those it was built for.
struct StreamTable {
    int slot[kCellCount][kDirectionCount];
    int obstacle[kCellCount];
    // Rows whose cells and neighbouring rows are all fluid: nothing bounces there, so
    // their values stream to fixed offsets without looking up slots.
    bool openRow[kGridSize];
    bool valid = false;
};

StreamTable streamTable;

void refreshStreamTable(const int* obstacle) {
    if (streamTable.valid && std::equal(obstacle, obstacle + kCellCount, streamTable.obstacle)) return;
    std::copy(obstacle, obstacle + kCellCount, streamTable.obstacle);
    for (int cell = 0; cell < kCellCount; ++cell) {
        for (int k = 0; k < kDirectionCount; ++k) {
            const int target = kNeighbours.cell[cell][k];
            streamTable.slot[cell][k] = obstacle[target] != 0 ? cell * kDirectionCount + kOppositeDirection[k]
                                                              : target * kDirectionCount + k;
        }
    }
    bool fluidRow[kGridSize];
    for (int y = 0; y < kGridSize; ++y) {
        const int* const row = obstacle + cellIndex(0, y);
        fluidRow[y] = std::all_of(row, row + kGridSize, [](int v) { return v == 0; });
    }
    for (int y = 0; y < kGridSize; ++y) {
        streamTable.openRow[y] = fluidRow[(y + kGridSize - 1) % kGridSize] && fluidRow[y] &&
                                 fluidRow[(y + 1) % kGridSize];
    }
    streamTable.valid = true;
}

// The collision works on one row of cells at a time with the directions outermost, so
// the per-cell arithmetic runs across the row in vector registers. Each value goes
// through exactly the operations of the per-cell formula, in the same order.
constexpr int kRow = kGridSize;

struct RowScratch {
    alignas(64) float f[kDirectionCount][kRow];
    alignas(64) float post[kDirectionCount][kRow];
    alignas(64) float rho[kRow];
    alignas(64) float ux[kRow];
    alignas(64) float uy[kRow];
    alignas(64) float sx[kRow];
    alignas(64) float sy[kRow];
    alignas(64) double base[kRow];
};

// post = OMEGA * w * rho * (base + 3 eu + 4.5 eu^2) - (OMEGA - 1) * f, the bracket in
// double precision as the base is. Opposite directions share eu up to its sign, and
// negation is exact, so each pair shares 3 eu and 4.5 eu^2; the sums keep their order.
[[gnu::always_inline]] inline float collide(double omegaWeightRho, double base, double threeEu, double eu2, float f) {
    return static_cast<float>(omegaWeightRho * (base + threeEu + eu2) - static_cast<double>(kOmegaMinusOne * f));
}

[[gnu::always_inline]] inline void collideRow(RowScratch& scratch) {
    constexpr float w0 = OMEGA * kDirectionWeight[0];
    constexpr float w1 = OMEGA * kDirectionWeight[1];
    constexpr float w5 = OMEGA * kDirectionWeight[5];
    static_assert(kDirectionWeight[1] == kDirectionWeight[4] && kDirectionWeight[5] == kDirectionWeight[8]);
    for (int j = 0; j < kRow; ++j) {
        const float sx = scratch.sx[j];
        const float sy = scratch.sy[j];
        const double base = scratch.base[j];
        const double c0 = static_cast<double>(w0 * scratch.rho[j]);
        const double c1 = static_cast<double>(w1 * scratch.rho[j]);
        const double c5 = static_cast<double>(w5 * scratch.rho[j]);
        // eu of directions 1, 2, 5, 6; their opposites 3, 4, 7, 8 have -eu.
        const float eu1 = sx;
        const float eu2 = sy;
        const float eu5 = sx + sy;
        const float eu6 = -sx + sy;
        const double t1 = static_cast<double>(3.0f * eu1), q1 = 4.5 * eu1 * eu1;
        const double t2 = static_cast<double>(3.0f * eu2), q2 = 4.5 * eu2 * eu2;
        const double t5 = static_cast<double>(3.0f * eu5), q5 = 4.5 * eu5 * eu5;
        const double t6 = static_cast<double>(3.0f * eu6), q6 = 4.5 * eu6 * eu6;
        const double t0 = static_cast<double>(3.0f * 0.0f), q0 = 4.5 * 0.0f * 0.0f;
        scratch.post[0][j] = collide(c0, base, t0, q0, scratch.f[0][j]);
        scratch.post[1][j] = collide(c1, base, t1, q1, scratch.f[1][j]);
        scratch.post[2][j] = collide(c1, base, t2, q2, scratch.f[2][j]);
        scratch.post[3][j] = collide(c1, base, -t1, q1, scratch.f[3][j]);
        scratch.post[4][j] = collide(c1, base, -t2, q2, scratch.f[4][j]);
        scratch.post[5][j] = collide(c5, base, t5, q5, scratch.f[5][j]);
        scratch.post[6][j] = collide(c5, base, t6, q6, scratch.f[6][j]);
        scratch.post[7][j] = collide(c5, base, -t5, q5, scratch.f[7][j]);
        scratch.post[8][j] = collide(c5, base, -t6, q6, scratch.f[8][j]);
    }
}

// Streams one open row: direction k of cell x goes to cell (x + ex, y + ey), wrapped.
template <int K>
[[gnu::always_inline]] inline void streamOpenRow(const RowScratch& scratch, int y, float* destination) {
    constexpr int ex = kDirectionX[K];
    const int targetRow = cellIndex(0, (y + kDirectionY[K] + kGridSize) % kGridSize);
    float* const out = destination + K;
    if constexpr (ex == 0) {
        for (int j = 0; j < kRow; ++j) out[(targetRow + j) * kDirectionCount] = scratch.post[K][j];
    } else if constexpr (ex == 1) {
        for (int j = 0; j < kRow - 1; ++j) out[(targetRow + j + 1) * kDirectionCount] = scratch.post[K][j];
        out[targetRow * kDirectionCount] = scratch.post[K][kRow - 1];
    } else {
        out[(targetRow + kRow - 1) * kDirectionCount] = scratch.post[K][0];
        for (int j = 1; j < kRow; ++j) out[(targetRow + j - 1) * kDirectionCount] = scratch.post[K][j];
    }
}

template <int... K>
[[gnu::always_inline]] inline void streamOpenRowAll(const RowScratch& scratch, int y, float* destination,
                                                    std::integer_sequence<int, K...>) {
    (streamOpenRow<K>(scratch, y, destination), ...);
}

}  // namespace

__attribute__((target_clones("avx512f", "avx2", "default"))) void stepFluid() {
    FluidGrid& g = fluidGrid;
    g.currentBuffer = 1 - g.currentBuffer;
    const float(*const source)[kDirectionCount] = g.distributions[g.currentBuffer];
    float* const destination = &g.distributions[1 - g.currentBuffer][0][0];
    const int* const obstacle = g.obstacle;
    refreshStreamTable(obstacle);

    RowScratch scratch;
    for (int first = 0; first < kCellCount; first += kRow) {
        for (int k = 0; k < kDirectionCount; ++k) {
            for (int j = 0; j < kRow; ++j) scratch.f[k][j] = source[first + j][k];
        }
        // Moments, summed in direction order.
        for (int j = 0; j < kRow; ++j) {
            const float rho = scratch.f[0][j] + scratch.f[1][j] + scratch.f[2][j] + scratch.f[3][j] + scratch.f[4][j] +
                              scratch.f[5][j] + scratch.f[6][j] + scratch.f[7][j] + scratch.f[8][j];
            const float jx = scratch.f[1][j] - scratch.f[3][j] + scratch.f[5][j] - scratch.f[6][j] - scratch.f[7][j] +
                             scratch.f[8][j];
            const float jy = scratch.f[2][j] - scratch.f[4][j] + scratch.f[5][j] + scratch.f[6][j] - scratch.f[7][j] -
                             scratch.f[8][j];
            scratch.rho[j] = rho;
            scratch.ux[j] = jx / rho;
            scratch.uy[j] = jy / rho;
        }
        // Forcing by a shift of the equilibrium velocity; the base in double precision.
        for (int j = 0; j < kRow; ++j) {
            scratch.sx[j] = scratch.ux[j] + FORCE_X;
            scratch.sy[j] = scratch.uy[j];
            const double dsx = scratch.sx[j];
            const double dsy = scratch.sy[j];
            scratch.base[j] = 1.0 - 1.5 * (dsx * dsx + dsy * dsy);
        }
        collideRow(scratch);

        const int y = first / kRow;
        if (streamTable.openRow[y]) {
            std::copy(scratch.rho, scratch.rho + kRow, g.density + first);
            std::copy(scratch.ux, scratch.ux + kRow, g.velocityX + first);
            std::copy(scratch.uy, scratch.uy + kRow, g.velocityY + first);
            streamOpenRowAll(scratch, y, destination, std::make_integer_sequence<int, kDirectionCount>{});
            continue;
        }
        // Solid cells were computed along but are neither stored nor streamed: they stay
        // frozen. Every destination slot of a fluid cell is written exactly once.
        for (int j = 0; j < kRow; ++j) {
            const int cell = first + j;
            if (obstacle[cell] != 0) continue;
            g.density[cell] = scratch.rho[j];
            g.velocityX[cell] = scratch.ux[j];
            g.velocityY[cell] = scratch.uy[j];
            const int* const slot = streamTable.slot[cell];
            for (int k = 0; k < kDirectionCount; ++k) destination[slot[k]] = scratch.post[k][j];
        }
    }
}
