// Speed of the lattice fluid, the particle step and the particle map build.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "base/random.h"
#include "sim/fluid.h"
#include "sim/particle_map.h"
#include "sim/particles.h"
#include "timeline/reset.h"

namespace {

namespace fs = std::filesystem;

// A scratch directory removed when the process ends.
struct ScratchDir {
    fs::path path = fs::temp_directory_path() / ("velkarn_bench_fluid_" + std::to_string(getpid()));
    ScratchDir() { fs::create_directories(path); }
    ~ScratchDir() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
};

// A 1280 x 720 plain PPM with a black ring on white, written once per process.
const fs::path& syntheticLogo() {
    static const ScratchDir scratch;
    static const fs::path path = [] {
        const fs::path& dir = scratch.path;
        const fs::path file = dir / "logo.ppm";
        std::string text = "P3\n# synthetic logo\n1280 720\n255\n";
        text.reserve(static_cast<std::size_t>(kLogoWidth) * kLogoHeight * 12);
        for (int r = 0; r < kLogoHeight; ++r) {
            for (int c = 0; c < kLogoWidth; ++c) {
                const int dx = c - 640;
                const int dy = r - 360;
                const int d2 = dx * dx + dy * dy;
                text += (d2 > 150 * 150 && d2 < 300 * 300) ? "0 0 0\n" : "255 255 255\n";
            }
        }
        std::FILE* out = std::fopen(file.c_str(), "wb");
        std::fwrite(text.data(), 1, text.size(), out);
        std::fclose(out);
        return file;
    }();
    return path;
}

fs::path cachePath() { return syntheticLogo().parent_path() / "p-particlemap.dat"; }

void BM_StepFluid(benchmark::State& state) {
    std::fill(std::begin(fluidGrid.obstacle), std::end(fluidGrid.obstacle), 0);
    resetSimulation();
    for (auto _ : state) {
        stepFluid();
        benchmark::DoNotOptimize(fluidGrid.distributions[0][0][0]);
    }
    state.SetItemsProcessed(state.iterations() * kCellCount);
}
BENCHMARK(BM_StepFluid);

// Argument: demo time in seconds (free phase, squeeze, formation with damping).
void BM_AdvanceParticles(benchmark::State& state) {
    seedRandom(500);
    std::fill(std::begin(fluidGrid.obstacle), std::end(fluidGrid.obstacle), 0);
    resetSimulation();
    for (int i = 0; i < 50; ++i) stepFluid();
    particles.particleCount = kMaxParticles;
    particles.respawnChance = 0.25f;
    const auto t = static_cast<float>(state.range(0));
    const bool late = t > 155.0f;
    for (auto _ : state) {
        advanceParticles(0.1875f, late, t);
        benchmark::DoNotOptimize(particles.particlePositions[0]);
    }
    state.SetItemsProcessed(state.iterations() * kMaxParticles);
}
BENCHMARK(BM_AdvanceParticles)->Arg(30)->Arg(160)->Arg(200)->Unit(benchmark::kMicrosecond);

void BM_ParticleMapFromPpm(benchmark::State& state) {
    const fs::path logo = syntheticLogo();
    const fs::path cache = cachePath();
    for (auto _ : state) {
        fs::remove(cache);
        loadParticleMapFrom(cache.c_str(), logo.c_str());
        benchmark::DoNotOptimize(particleMap.particleTargets[0]);
    }
}
BENCHMARK(BM_ParticleMapFromPpm)->Unit(benchmark::kMillisecond);

void BM_ParticleMapFromCache(benchmark::State& state) {
    const fs::path logo = syntheticLogo();
    const fs::path cache = cachePath();
    loadParticleMapFrom(cache.c_str(), logo.c_str());
    for (auto _ : state) {
        loadParticleMapFrom(cache.c_str(), logo.c_str());
        benchmark::DoNotOptimize(particleMap.particleTargets[0]);
    }
}
BENCHMARK(BM_ParticleMapFromCache)->Unit(benchmark::kMillisecond);

}  // namespace
