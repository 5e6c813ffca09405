// How clearly the beat speaks: an onset envelope of the sound, its normalised
// autocorrelation, and the autocorrelation's peak in a range of lags.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace listen {

inline constexpr double kOnsetFramesPerSecond = 100.0;

// Half-wave-rectified spectral flux, one value a frame: frames of 2048 samples (Hann)
// centred every rate / 100 samples; each bin's magnitude is compressed as log(1 + 100 |X|)
// (|X| on the scale where a full-scale sine's bin is about 0.7); a frame's flux is the sum
// over bins of how much that rose since the frame before (0 for the first frame). The
// envelope is the flux less its mean over the 0.1 s either side, where that is positive.
std::vector<double> onsetEnvelope(std::span<const float> samples, std::int32_t sampleRate);

// r(k) = sum of y(i) y(i + k) over sum of y(i)^2, y being the signal less its mean, for
// k = 0..maxLag (lags past the end are 0). r(0) is 1 unless the signal is constant (all 0).
std::vector<double> normalisedAutocorrelation(std::span<const double> signal, std::size_t maxLag);

struct Peak {
    double lagSeconds = 0.0;  // refined between frames by a parabola through the top three
    double value = 0.0;       // r at the highest frame
};
// The highest value of r over lags from..to seconds, r holding one value a frame.
Peak autocorrelationPeak(std::span<const double> r, double framesPerSecond, double fromSeconds, double toSeconds);

}  // namespace listen
