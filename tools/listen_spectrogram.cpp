// The spectrogram: one FFT a column, rows spaced evenly in log frequency, a colour ramp in dB.
#include "listen_spectrogram.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "listen_spectrum.h"

namespace listen {
namespace {

constexpr std::size_t kFrameSize = 8192;
constexpr int kMaxWidth = 8192;
constexpr int kMaxHeight = 2048;

// The bins a row covers, or the fractional bin at its middle when none does.
struct RowBins {
    std::size_t first = 0, end = 0;
    double middle = 0.0;
};

Rgba ramp(float x) {
    static constexpr std::array<Rgba, 5> kStops = {{
        {0.0f, 0.0f, 0.0f, 1.0f},
        {0.12f, 0.06f, 0.42f, 1.0f},
        {0.66f, 0.12f, 0.5f, 1.0f},
        {0.98f, 0.5f, 0.12f, 1.0f},
        {1.0f, 0.98f, 0.75f, 1.0f},
    }};
    const float at = std::clamp(x, 0.0f, 1.0f) * static_cast<float>(kStops.size() - 1);
    const auto index = std::min(static_cast<std::size_t>(at), kStops.size() - 2);
    return mixColour(kStops[index], kStops[index + 1], at - static_cast<float>(index));
}

}  // namespace

Canvas spectrogram(std::span<const float> samples, std::int32_t sampleRate, int width, int height,
                   const SpectrogramScale& scale) {
    if (width < 1 || height < 1 || width > kMaxWidth || height > kMaxHeight || sampleRate <= 0 ||
        !(scale.lowHz > 0.0) || !(scale.highHz > scale.lowHz) || !(scale.rangeDb > 0.0)) {
        return {};
    }
    const double binHz = static_cast<double>(sampleRate) / kFrameSize;
    const std::size_t bins = kFrameSize / 2 + 1;
    const double octaves = std::log2(scale.highHz / scale.lowHz);
    const auto frequencyAt = [&](double fromBottom) { return scale.lowHz * std::exp2(octaves * fromBottom / height); };
    std::vector<RowBins> rows(static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        const double low = frequencyAt(height - 1 - y) / binHz;
        const double high = frequencyAt(height - y) / binHz;
        RowBins& row = rows[static_cast<std::size_t>(y)];
        row.first = static_cast<std::size_t>(std::clamp(std::ceil(low), 0.0, static_cast<double>(bins)));
        row.end = static_cast<std::size_t>(std::clamp(std::ceil(high), 0.0, static_cast<double>(bins)));
        row.middle = std::clamp(std::sqrt(low * high), 0.0, static_cast<double>(bins - 1));
    }

    const std::vector<double> window = hannWindow(kFrameSize);
    std::vector<float> frame(kFrameSize);
    std::vector<double> levels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    const double columnSamples = static_cast<double>(samples.size()) / width;
    for (int x = 0; x < width; ++x) {
        const auto centre = static_cast<std::ptrdiff_t>((x + 0.5) * columnSamples);
        for (std::size_t i = 0; i < kFrameSize; ++i) {
            const std::ptrdiff_t at = centre - static_cast<std::ptrdiff_t>(kFrameSize / 2) +
                                      static_cast<std::ptrdiff_t>(i);
            frame[i] = at >= 0 && at < std::ssize(samples) ? samples[static_cast<std::size_t>(at)] : 0.0f;
        }
        const std::vector<double> power = framePowerSpectrum(frame, window);
        for (int y = 0; y < height; ++y) {
            const RowBins& row = rows[static_cast<std::size_t>(y)];
            double value = 0.0;
            if (row.end > row.first) {
                for (std::size_t k = row.first; k < row.end; ++k) value += power[k];
                value /= static_cast<double>(row.end - row.first);
            } else {
                const auto below = std::min(static_cast<std::size_t>(row.middle), bins - 2);
                const double t = row.middle - static_cast<double>(below);
                value = power[below] * (1.0 - t) + power[below + 1] * t;
            }
            levels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] =
                powerDb(value);
        }
    }

    const double loudest = *std::max_element(levels.begin(), levels.end());
    Canvas canvas = makeCanvas(width, height, {0.0f, 0.0f, 0.0f, 1.0f});
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double level =
                levels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
            const Rgba colour = ramp(static_cast<float>(1.0 - (loudest - level) / scale.rangeDb));
            float* pixel = pixelAt(canvas, x, y);
            pixel[0] = colour.r;
            pixel[1] = colour.g;
            pixel[2] = colour.b;
            pixel[3] = 1.0f;
        }
    }
    return canvas;
}

}  // namespace listen
