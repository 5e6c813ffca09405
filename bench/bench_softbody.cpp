// Soft-body cost: one RK4 step of one body from the shipped mesh, and one whole blob
// frame (three bodies at 60 fps delta: one sub-step and one remainder step each).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "assets.h"
#include "sim/asc_reader.h"
#include "sim/soft_object.h"
#include "timeline/blob_scene.h"

namespace {

const AscModel& shippedModel() {
    static const AscModel model = [] {
        const auto dir = std::filesystem::temp_directory_path() / ("velkarn_bench_mesh_" + std::to_string(getpid()));
        generateMesh(dir);
        AscModel m;
        m.fileName = (dir / "dat" / "Objekt3.asc").string();
        readAscVertices(m);
        readAscFaces(m);
        std::filesystem::remove_all(dir);
        return m;
    }();
    return model;
}

void BM_SoftBodyStep(benchmark::State& state) {
    CSoftObject body(shippedModel(), Vector3{1.5f, -4.0f, 0.0f}, 0.85f, 1.0f, 1000000.0f, 480.0f, 0.0f);
    body.gravity = Vector3{0.0f, -2500.0f, 0.0f};
    body.pressure = 40000.0f;
    for (auto _ : state) {
        body.simulate(RungeKutta4, 0.00075f);
        benchmark::DoNotOptimize(body.particles.data());
    }
}
BENCHMARK(BM_SoftBodyStep);

void BM_SoftBodyFrame(benchmark::State& state) {
    CSoftObject a(shippedModel(), Vector3{1.5f, -4.0f, 0.0f}, 0.85f, 1.0f, 1000000.0f, 480.0f, 0.0f);
    CSoftObject b(shippedModel(), Vector3{4.5f, -4.0f, -2.0f}, 0.9f, 1.0f, 1000000.0f, 480.0f, 100204.0f);
    CSoftObject c(shippedModel(), Vector3{-1.0f, -4.0f, -4.0f}, 0.8f, 1.0f, 1000000.0f, 480.0f, 100204.0f);
    a.gravity = Vector3{0.0f, -2500.0f, 0.0f};
    b.gravity = c.gravity = Vector3{0.0f, -2400.0f, 0.0f};
    float simTime = 0.0f;
    for (auto _ : state) {
        stepBodies(a, b, c, 110.0f, 1.0f / 60.0f, simTime);
        benchmark::DoNotOptimize(a.particles.data());
    }
}
BENCHMARK(BM_SoftBodyFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
