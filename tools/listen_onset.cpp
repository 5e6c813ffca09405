// The onset envelope and its autocorrelation.
#include "listen_onset.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "listen_spectrum.h"

namespace listen {

namespace {

constexpr std::size_t kOnsetFrameSize = 2048;
constexpr double kOnsetCompression = 100.0;
constexpr std::size_t kLocalMeanFrames = 10;

}  // namespace

std::vector<double> onsetEnvelope(std::span<const float> samples, std::int32_t sampleRate) {
    if (sampleRate <= 0) return {};
    const auto hop = static_cast<std::size_t>(std::max(1L, std::lround(sampleRate / kOnsetFramesPerSecond)));
    const std::size_t frames = samples.size() / hop;
    const std::vector<double> window = hannWindow(kOnsetFrameSize);
    std::vector<float> frame(kOnsetFrameSize);
    std::vector<double> previous(kOnsetFrameSize / 2 + 1, 0.0);
    std::vector<double> envelope(frames, 0.0);
    for (std::size_t t = 0; t < frames; ++t) {
        // The frame is centred on its time; what lies outside the samples is silence.
        const auto centre = static_cast<std::ptrdiff_t>(t * hop);
        for (std::size_t i = 0; i < kOnsetFrameSize; ++i) {
            const std::ptrdiff_t at = centre - static_cast<std::ptrdiff_t>(kOnsetFrameSize / 2) +
                                      static_cast<std::ptrdiff_t>(i);
            frame[i] = at >= 0 && at < std::ssize(samples) ? samples[static_cast<std::size_t>(at)] : 0.0f;
        }
        const std::vector<double> power = framePowerSpectrum(frame, window);
        double rise = 0.0;
        for (std::size_t k = 0; k < power.size(); ++k) {
            const double level = std::log1p(kOnsetCompression * std::sqrt(power[k]));
            if (t > 0) rise += std::max(0.0, level - previous[k]);
            previous[k] = level;
        }
        envelope[t] = rise;
    }

    // Less the local mean, so the louder and quieter sections do not count as rhythm.
    std::vector<double> onsets(frames, 0.0);
    double sum = 0.0;
    std::size_t from = 0, to = 0;
    for (std::size_t t = 0; t < frames; ++t) {
        for (; to < frames && to <= t + kLocalMeanFrames; ++to) sum += envelope[to];
        for (; from + kLocalMeanFrames < t; ++from) sum -= envelope[from];
        onsets[t] = std::max(0.0, envelope[t] - sum / static_cast<double>(to - from));
    }
    return onsets;
}

std::vector<double> normalisedAutocorrelation(std::span<const double> signal, std::size_t maxLag) {
    std::vector<double> r(maxLag + 1, 0.0);
    if (signal.empty()) return r;
    const double mean = std::accumulate(signal.begin(), signal.end(), 0.0) / static_cast<double>(signal.size());
    std::vector<double> y(signal.size());
    std::transform(signal.begin(), signal.end(), y.begin(), [mean](double v) { return v - mean; });
    const double energy = std::inner_product(y.begin(), y.end(), y.begin(), 0.0);
    if (!(energy > 0.0)) return r;
    for (std::size_t k = 0; k <= maxLag && k < y.size(); ++k) {
        double sum = 0.0;
        for (std::size_t i = 0; i + k < y.size(); ++i) sum += y[i] * y[i + k];
        r[k] = sum / energy;
    }
    return r;
}

Peak autocorrelationPeak(std::span<const double> r, double framesPerSecond, double fromSeconds, double toSeconds) {
    if (r.empty() || !(framesPerSecond > 0.0) || !(toSeconds >= fromSeconds)) return {};
    const double last = static_cast<double>(r.size() - 1);
    const auto first = static_cast<std::size_t>(std::clamp(std::ceil(fromSeconds * framesPerSecond), 0.0, last));
    const auto end = static_cast<std::size_t>(std::clamp(std::floor(toSeconds * framesPerSecond), 0.0, last));
    std::size_t best = first;
    for (std::size_t k = first; k <= end; ++k) {
        if (r[k] > r[best]) best = k;
    }
    double offset = 0.0;
    if (best > 0 && best + 1 < r.size()) {
        const double curve = r[best - 1] - 2.0 * r[best] + r[best + 1];
        if (curve < 0.0) offset = std::clamp(0.5 * (r[best - 1] - r[best + 1]) / curve, -0.5, 0.5);
    }
    return {(static_cast<double>(best) + offset) / framesPerSecond, r[best]};
}

}  // namespace listen
