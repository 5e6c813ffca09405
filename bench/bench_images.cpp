// Start-up's image work: the mip levels of one 1920 by 1080 picture, as the demo's intro
// frames (RGBA) and backgrounds (RGB) need them.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "render/image_preparation.h"
#include "render/mip_chain.h"

namespace {

ImagePixels noisePicture(int components) {
    ImagePixels image{1920, 1080, components, {}};
    image.bytes.resize(std::size_t{1920} * 1080 * static_cast<std::size_t>(components));
    std::uint32_t state = 1;
    for (std::uint8_t& byte : image.bytes) {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<std::uint8_t>(state >> 24);
    }
    return image;
}

void BM_BuildMipChain(benchmark::State& state) {
    const ImagePixels image = noisePicture(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        MipChain chain = buildMipChain(image, 16384);
        benchmark::DoNotOptimize(chain.levels.data());
    }
}
BENCHMARK(BM_BuildMipChain)->Arg(3)->Arg(4)->Unit(benchmark::kMillisecond);

}  // namespace

namespace {

// The whole of a worker's part for one file: decoding and the mip levels.
void BM_PrepareImage(benchmark::State& state, const char* file) {
    const std::string path = std::string(VELKARN_RUN_DIR) + "/" + file;
    for (auto _ : state) {
        PreparedImage prepared = prepareImage(path, 16384);
        if (prepared.chain.levels.empty()) state.SkipWithError(prepared.error.c_str());
        benchmark::DoNotOptimize(prepared.chain.levels.data());
    }
}
BENCHMARK_CAPTURE(BM_PrepareImage, intro_png, "dat/intro_oneeyewhore_8.png")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PrepareImage, background_jpg, "dat/background1.jpg")->Unit(benchmark::kMillisecond);

}  // namespace
