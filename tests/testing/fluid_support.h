// Helpers shared by the fluid and particle tests: saving the process-wide state they
// change, a plain reference of one lattice step, and scratch files.
#pragma once

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>

#include "fluid/fluid.h"
#include "fluid/particle_map.h"
#include "fluid/particles.h"
#include "fluid/tuning.h"
#include "shell/demo_clock.h"

namespace fluidtest {

// Restores every global the fluid tests touch when it goes out of scope.
class SavedFluidState {
public:
    SavedFluidState()
        : grid_(std::make_unique<FluidGrid>(fluidGrid)),
          positions_(std::make_unique<std::array<ParticlePosition, kMaxParticles>>(particlePositions)),
          targets_(std::make_unique<std::array<ParticlePosition, kMaxParticles>>(particleTargets)),
          logo_(std::make_unique<std::array<int, kLogoWidth * kLogoHeight>>(logoPixels)),
          clock_(demoClock),
          count_(particleCount),
          chance_(respawnChance),
          tint_(particleTint),
          minPar_(MIN_PAR),
          maxPar_(MAX_PAR),
          layers_(sizeLayerCount),
          lines_(lineVertexCount),
          negative_(negativeOn),
          overlay_(overlayOn),
          lists_{numList, sizeList, negativeList, kszakList} {}
    ~SavedFluidState() {
        fluidGrid = *grid_;
        particlePositions = *positions_;
        particleTargets = *targets_;
        logoPixels = *logo_;
        demoClock = clock_;
        particleCount = count_;
        respawnChance = chance_;
        particleTint = tint_;
        MIN_PAR = minPar_;
        MAX_PAR = maxPar_;
        sizeLayerCount = layers_;
        lineVertexCount = lines_;
        negativeOn = negative_;
        overlayOn = overlay_;
        numList = lists_[0];
        sizeList = lists_[1];
        negativeList = lists_[2];
        kszakList = lists_[3];
    }
    SavedFluidState(const SavedFluidState&) = delete;
    SavedFluidState& operator=(const SavedFluidState&) = delete;

private:
    std::unique_ptr<FluidGrid> grid_;
    std::unique_ptr<std::array<ParticlePosition, kMaxParticles>> positions_;
    std::unique_ptr<std::array<ParticlePosition, kMaxParticles>> targets_;
    std::unique_ptr<std::array<int, kLogoWidth * kLogoHeight>> logo_;
    DemoClock clock_;
    int count_;
    float chance_, tint_, minPar_, maxPar_;
    int layers_;
    float lines_;
    int negative_, overlay_;
    TuningList lists_[4];
};

// The collision of one direction written out as the algorithm states it.
inline float referencePost(const float* f, int k) {
    float rho = 0.0f;
    for (int d = 0; d < kDirectionCount; ++d) rho += f[d];
    const float jx = f[1] - f[3] + f[5] - f[6] - f[7] + f[8];
    const float jy = f[2] - f[4] + f[5] + f[6] - f[7] - f[8];
    const float ux = jx / rho + FORCE_X;
    const float uy = jy / rho;
    const double base = 1.0 - 1.5 * (static_cast<double>(ux) * ux + static_cast<double>(uy) * uy);
    const float eu = static_cast<float>(kDirectionX[k]) * ux + static_cast<float>(kDirectionY[k]) * uy;
    return static_cast<float>(static_cast<double>(OMEGA * kDirectionWeight[k] * rho) *
                                  (base + static_cast<double>(3.0f * eu) + 4.5 * eu * eu) -
                              static_cast<double>((OMEGA - 1.0f) * f[k]));
}

// One whole step in the stated visiting order, for comparing with the solver.
inline void referenceStep(FluidGrid& g) {
    g.currentBuffer = 1 - g.currentBuffer;
    const int src = g.currentBuffer;
    const int dst = 1 - src;
    for (int x = 0; x < kGridSize; ++x) {
        for (int y = 0; y < kGridSize; ++y) {
            const int cell = cellIndex(x, y);
            if (g.obstacle[cell] != 0) continue;
            const float* f = g.distributions[src][cell];
            float rho = 0.0f;
            for (int d = 0; d < kDirectionCount; ++d) rho += f[d];
            g.density[cell] = rho;
            g.velocityX[cell] = (f[1] - f[3] + f[5] - f[6] - f[7] + f[8]) / rho;
            g.velocityY[cell] = (f[2] - f[4] + f[5] + f[6] - f[7] - f[8]) / rho;
            for (int k = 0; k < kDirectionCount; ++k) {
                const float post = referencePost(f, k);
                const int tx = (x + kDirectionX[k] + kGridSize) % kGridSize;
                const int ty = (y + kDirectionY[k] + kGridSize) % kGridSize;
                if (g.obstacle[cellIndex(tx, ty)] == 1) {
                    g.distributions[dst][cell][kOppositeDirection[k]] = post;
                } else {
                    g.distributions[dst][cellIndex(tx, ty)][k] = post;
                }
            }
        }
    }
}

// Both buffers at rest (f = weights), no solid cell.
inline void fillRest(FluidGrid& g) {
    for (auto& buffer : g.distributions) {
        for (auto& cell : buffer) std::copy(kDirectionWeight.begin(), kDirectionWeight.end(), cell);
    }
    std::fill(std::begin(g.obstacle), std::end(g.obstacle), 0);
}

// A scratch directory of one test, removed with it.
class ScratchDir {
public:
    ScratchDir()
        : path_(std::filesystem::temp_directory_path() /
                ("velkarn_fluid_test_" + std::to_string(getpid()) + "_" + std::to_string(counter()++))) {
        std::filesystem::create_directories(path_);
    }
    ~ScratchDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    static int& counter() {
        static int value = 0;
        return value;
    }
    std::filesystem::path path_;
};

inline void writeFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace fluidtest
