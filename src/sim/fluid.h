// The lattice fluid: a 50 by 50 periodic D2Q9 lattice with BGK collision, a constant
// body force to the right and full bounce-back on solid cells. It is never drawn; the
// particles ride on its velocity field.
#pragma once

#include <array>

inline constexpr int kGridSize = 50;
inline constexpr int kCellCount = kGridSize * kGridSize;
inline constexpr int kDirectionCount = 9;

// BGK relaxation rate and the horizontal body force (a shift of the equilibrium velocity).
inline constexpr float OMEGA = 1.99f;
inline constexpr float FORCE_X = 0.000014f;

// Direction table: velocity, weight and the opposite direction of each of the nine
// lattice velocities.
inline constexpr std::array<int, kDirectionCount> kDirectionX = {0, 1, 0, -1, 0, 1, -1, -1, 1};
inline constexpr std::array<int, kDirectionCount> kDirectionY = {0, 0, 1, 0, -1, 1, 1, -1, -1};
inline constexpr std::array<float, kDirectionCount> kDirectionWeight = {4.0f / 9.0f,  1.0f / 9.0f,  1.0f / 9.0f,
                                                                        1.0f / 9.0f,  1.0f / 9.0f,  1.0f / 36.0f,
                                                                        1.0f / 36.0f, 1.0f / 36.0f, 1.0f / 36.0f};
inline constexpr std::array<int, kDirectionCount> kOppositeDirection = {0, 3, 4, 1, 2, 7, 8, 5, 6};

// Cells are indexed y * 50 + x.
inline constexpr int cellIndex(int x, int y) { return y * kGridSize + x; }

struct FluidGrid {
    // Two buffers of distribution values, direction innermost.
    float distributions[2][kCellCount][kDirectionCount];
    // The buffer the last step read; the next step toggles it first.
    int currentBuffer = 1;
    // 0 = fluid, 1 = solid. Written directly by the tick rules and the reset.
    int obstacle[kCellCount];
    // Moments of every fluid cell after the last step (velocities without the force shift).
    float velocityX[kCellCount];
    float velocityY[kCellCount];
    float density[kCellCount];
};

extern FluidGrid fluidGrid;

// One collide-and-stream step of fluidGrid. Solid cells are skipped and keep the values
// they held when they became solid.
void stepFluid();
