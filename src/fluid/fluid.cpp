#include "fluid/fluid.h"

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
// OMEGA times each weight, the first two factors of every equilibrium term.
constexpr std::array<float, kDirectionCount> kOmegaWeight = {
    OMEGA * kDirectionWeight[0], OMEGA * kDirectionWeight[1], OMEGA * kDirectionWeight[2],
    OMEGA * kDirectionWeight[3], OMEGA * kDirectionWeight[4], OMEGA * kDirectionWeight[5],
    OMEGA * kDirectionWeight[6], OMEGA * kDirectionWeight[7], OMEGA * kDirectionWeight[8]};

// post = OMEGA * w * rho * (base + 3 eu + 4.5 eu^2) - (OMEGA - 1) * f, the bracket in
// double precision as the base is.
inline float collide(float omegaWeightRho, double base, float eu, float f) {
    const double bracket = base + static_cast<double>(3.0f * eu) + 4.5 * eu * eu;
    return static_cast<float>(static_cast<double>(omegaWeightRho) * bracket -
                              static_cast<double>(kOmegaMinusOne * f));
}

}  // namespace

void stepFluid() {
    FluidGrid& g = fluidGrid;
    g.currentBuffer = 1 - g.currentBuffer;
    const float(*const source)[kDirectionCount] = g.distributions[g.currentBuffer];
    float(*const destination)[kDirectionCount] = g.distributions[1 - g.currentBuffer];
    float* const flatDestination = &destination[0][0];
    const int* const obstacle = g.obstacle;

    // Every destination slot of a fluid cell is written exactly once per step (streamed
    // in from a fluid neighbour or reflected by itself), so the cells can be visited in
    // memory order.
    for (int cell = 0; cell < kCellCount; ++cell) {
        if (obstacle[cell] != 0) continue;  // solid cells stay frozen
        const float* const f = source[cell];

        const float rho = f[0] + f[1] + f[2] + f[3] + f[4] + f[5] + f[6] + f[7] + f[8];
        const float jx = f[1] - f[3] + f[5] - f[6] - f[7] + f[8];
        const float jy = f[2] - f[4] + f[5] + f[6] - f[7] - f[8];
        const float ux = jx / rho;
        const float uy = jy / rho;
        g.density[cell] = rho;
        g.velocityX[cell] = ux;
        g.velocityY[cell] = uy;

        // Forcing by a shift of the equilibrium velocity.
        const float sx = ux + FORCE_X;
        const float sy = uy;
        const double dsx = sx;
        const double dsy = sy;
        const double base = 1.0 - 1.5 * (dsx * dsx + dsy * dsy);

        // ex * sx + ey * sy for each direction; the unit factors are exact.
        const float eu[kDirectionCount] = {0.0f, sx, sy, -sx, -sy, sx + sy, -sx + sy, -sx - sy, sx - sy};

        const int* const neighbour = kNeighbours.cell[cell];
        for (int k = 0; k < kDirectionCount; ++k) {
            const float post = collide(kOmegaWeight[k] * rho, base, eu[k], f[k]);
            const int target = neighbour[k];
            // Bounce-back: a value heading into a solid cell returns to its own cell in
            // the opposite direction.
            const int slot = obstacle[target] != 0 ? cell * kDirectionCount + kOppositeDirection[k]
                                                   : target * kDirectionCount + k;
            flatDestination[slot] = post;
        }
    }
}
