// The start state, also the reset key's: the fluid at rest, the particles scattered, the
// tuning files from their first record and a small solid block in the middle.
#include "timeline/reset.h"

#include "sim/fluid.h"
#include "sim/particles.h"
#include "timeline/between_ticks.h"
#include "timeline/layer_state.h"
#include "timeline/tuning.h"

void resetSimulation() {
    resetTuningCursors();
    layers.lastOverlayBeat = 0;
    layers.lastIntroBeat = 0;

    // The fluid at rest with density 1 in both buffers, solid cells included.
    for (auto& buffer : fluidGrid.distributions) {
        for (auto& cell : buffer) {
            for (int k = 0; k < kDirectionCount; ++k) cell[k] = kDirectionWeight[static_cast<std::size_t>(k)];
        }
    }
    stepFluid();  // with whatever cells are solid right now
    scatterParticles();
    forgetTickState();  // the particles jumped: no frame draws them on their way

    // The central 5 by 5 block becomes solid; other flags stay as they are.
    for (int y = 22; y <= 26; ++y) {
        for (int x = 22; x <= 26; ++x) fluidGrid.obstacle[cellIndex(x, y)] = 1;
    }
}
