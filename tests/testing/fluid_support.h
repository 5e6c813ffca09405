// Helpers shared by the fluid and particle tests: saving the process-wide state they
// change and a plain reference of one lattice step.
#pragma once

#include <memory>
#include <string>

#include "base/demo_clock.h"
#include "sim/fluid.h"
#include "sim/particle_map.h"
#include "sim/particles.h"
#include "timeline/layer_state.h"
#include "timeline/scene_switch.h"
#include "timeline/tuning.h"

namespace fluidtest {

// Restores the state the fluid tests touch when it goes out of scope: the fluid, the
// particles and their map, the clock, the layer switches, the scene switch and the tuning
// files.
class SavedFluidState {
public:
    ~SavedFluidState() {
        fluidGrid = saved_->fluidGrid;
        particles = saved_->particles;
        particleMap = saved_->particleMap;
        demoClock = saved_->demoClock;
        layers = saved_->layers;
        sceneSwitch = saved_->sceneSwitch;
        tuning = saved_->tuning;
    }

private:
    struct Saved {
        FluidGrid fluidGrid = ::fluidGrid;
        ParticleState particles = ::particles;
        ParticleMap particleMap = ::particleMap;
        DemoClock demoClock = ::demoClock;
        LayerState layers = ::layers;
        SceneSwitch sceneSwitch = ::sceneSwitch;
        TuningLists tuning = ::tuning;
    };
    std::unique_ptr<const Saved> saved_ = std::make_unique<const Saved>();  // megabytes: on the heap
};

// Frozen on purpose: one lattice step written out plainly, to hold the solver to it bit for bit.
inline float referencePost(const float* f, int k) {
    float rho = 0.0f;
    for (int d = 0; d < kDirectionCount; ++d) rho += f[d];
    const float ux = (f[1] - f[3] + f[5] - f[6] - f[7] + f[8]) / rho + FORCE_X;
    const float uy = (f[2] - f[4] + f[5] + f[6] - f[7] - f[8]) / rho;
    const double base = 1.0 - 1.5 * (static_cast<double>(ux) * ux + static_cast<double>(uy) * uy);
    const float eu = static_cast<float>(kDirectionX[k]) * ux + static_cast<float>(kDirectionY[k]) * uy;
    return static_cast<float>(static_cast<double>(OMEGA * kDirectionWeight[k] * rho) *
                                  (base + static_cast<double>(3.0f * eu) + 4.5 * eu * eu) -
                              static_cast<double>((OMEGA - 1.0f) * f[k]));
}

inline void referenceStep(FluidGrid& g) {
    g.currentBuffer = 1 - g.currentBuffer;
    const int src = g.currentBuffer;
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
                const int to = cellIndex((x + kDirectionX[k] + kGridSize) % kGridSize,
                                         (y + kDirectionY[k] + kGridSize) % kGridSize);
                const bool bounce = g.obstacle[to] == 1;
                g.distributions[1 - src][bounce ? cell : to][bounce ? kOppositeDirection[k] : k] = referencePost(f, k);
            }
        }
    }
}

}  // namespace fluidtest
