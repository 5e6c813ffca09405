// Start-up's image work: the mip levels of one 1920 by 1080 picture, as the demo's intro
// frames (RGBA) and backgrounds (RGB) need them.
#include <benchmark/benchmark.h>

#include <cstdint>

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
