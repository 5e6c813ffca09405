// Cost of the frame rules: one tick with 100000 particles at moments of each section, and
// every tick before the end logo's last second (the pre-roll of --start 224).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "base/demo_clock.h"
#include "base/random.h"
#include "sim/fluid.h"
#include "sim/particles.h"
#include "sim/soft_bodies.h"
#include "timeline/reset.h"
#include "timeline/between_ticks.h"
#include "timeline/tick.h"

namespace {

// The demo's soft bodies read their mesh from the run folder: go there before anything
// decides where the data is.
struct EnterRunFolder {
    EnterRunFolder() {
        if (chdir(VELKARN_RUN_DIR) != 0) {
            std::fprintf(stderr, "velkarn_bench: cannot enter %s (build the demo first)\n", VELKARN_RUN_DIR);
            std::exit(1);
        }
    }
};
__attribute__((init_priority(101))) const EnterRunFolder enterRunFolder;

void startOfRun() {
    static const bool built = (buildSoftBodies(), true);
    (void)built;
    seedRandom(500);
    std::fill(std::begin(fluidGrid.obstacle), std::end(fluidGrid.obstacle), 0);
    resetSimulation();
    setStartGravity();
    particles.particleCount = kMaxParticles;
}

// Argument: demo time in seconds (the flow, the soft bodies, the squeeze, the logo forming).
void BM_Tick(benchmark::State& state) {
    startOfRun();
    const std::int64_t tick = static_cast<std::int64_t>(state.range(0)) * kTicksPerSecond;
    // The state of that moment's section: the tick before it has set its switches.
    runTick(demoTick(tick - 1));
    for (auto _ : state) {
        runTick(demoTick(tick));
        benchmark::DoNotOptimize(particles.particlePositions[0]);
    }
}
BENCHMARK(BM_Tick)->Arg(30)->Arg(110)->Arg(160)->Arg(200)->Unit(benchmark::kMicrosecond);

void BM_TicksBefore224(benchmark::State& state) {
    for (auto _ : state) {
        startOfRun();
        benchmark::DoNotOptimize(runTicksBefore(224.0f, nullptr, 0.0f));
    }
}
BENCHMARK(BM_TicksBefore224)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

namespace {

// A frame between two ticks: 100000 particles blended half-way, with the few that jumped in
// the latest tick (about one in a hundred) drawn where they are.
void BM_BlendPositions(benchmark::State& state) {
    seedRandom(3);
    static std::array<ParticlePosition, kMaxParticles> before, after, out;
    static std::array<std::uint8_t, kMaxParticles> jumped;
    for (std::size_t i = 0; i < before.size(); ++i) {
        before[i] = {randUnit(), randUnit()};
        after[i] = {before[i].x + 0.001f, before[i].y - 0.001f};
        jumped[i] = randUnit() < 0.01f ? 1 : 0;
    }
    for (auto _ : state) {
        blendPositions(before, after, jumped, 0.4f, out);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kMaxParticles);
}
BENCHMARK(BM_BlendPositions)->Unit(benchmark::kMicrosecond);

}  // namespace
