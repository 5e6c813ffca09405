// A spectrogram picture of a sound: time across, frequency up on a log scale, level as colour.
#pragma once

#include <cstdint>
#include <span>

#include "canvas.h"

namespace listen {

struct SpectrogramScale {
    double lowHz = 20.0;
    double highHz = 20000.0;
    double rangeDb = 80.0;  // levels this far below the loudest point are black
};

// Column c shows the spectrum (8192-sample Hann frame) centred on the middle of the c-th of
// `width` equal stretches of the samples. The bottom edge of the picture is lowHz, the top
// edge highHz, so frequency f lies at height * (1 - log(f / low) / log(high / low)) pixels
// from the top. Each row shows the mean power of the bins inside it, or where no bin falls
// inside (the narrow rows of the low octaves) the power interpolated at its middle.
// Colours run black, blue, magenta, orange, pale yellow. A width outside 1..8192, a height
// outside 1..2048 or a bad scale give an empty canvas.
Canvas spectrogram(std::span<const float> samples, std::int32_t sampleRate, int width, int height,
                   const SpectrogramScale& scale = {});

}  // namespace listen
