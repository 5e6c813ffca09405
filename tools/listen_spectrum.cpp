// The FFT, the averaged power spectra and the octave bands.
#include "listen_spectrum.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <numbers>

namespace listen {

bool fft(std::span<std::complex<double>> data) {
    const std::size_t n = data.size();
    if (!std::has_single_bit(n)) return false;
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j |= bit;
        if (i < j) std::swap(data[i], data[j]);
    }
    for (std::size_t length = 2; length <= n; length <<= 1) {
        const double angle = -2.0 * std::numbers::pi / static_cast<double>(length);
        const std::complex<double> step(std::cos(angle), std::sin(angle));
        for (std::size_t start = 0; start < n; start += length) {
            std::complex<double> twiddle(1.0, 0.0);
            for (std::size_t k = 0; k < length / 2; ++k) {
                const std::complex<double> odd = data[start + k + length / 2] * twiddle;
                data[start + k + length / 2] = data[start + k] - odd;
                data[start + k] += odd;
                twiddle *= step;
            }
        }
    }
    return true;
}

std::vector<double> hannWindow(std::size_t size) {
    std::vector<double> window(size);
    for (std::size_t i = 0; i < size; ++i) {
        window[i] = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * static_cast<double>(i) / static_cast<double>(size));
    }
    return window;
}

std::vector<double> framePowerSpectrum(std::span<const float> frame, std::span<const double> window) {
    const std::size_t n = std::min(frame.size(), window.size());
    std::vector<std::complex<double>> data(n);
    double windowEnergy = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        data[i] = frame[i] * window[i];
        windowEnergy += window[i] * window[i];
    }
    if (n < 2 || !fft(data) || windowEnergy <= 0.0) return std::vector<double>(n / 2 + 1, 0.0);
    // Parseval: the bins of both halves add up to n times the windowed energy; dividing by
    // n and by the window's own energy leaves the mean square of the frame's samples.
    const double scale = 1.0 / (static_cast<double>(n) * windowEnergy);
    std::vector<double> power(n / 2 + 1);
    for (std::size_t k = 0; k <= n / 2; ++k) {
        const bool paired = k != 0 && k != n / 2;
        power[k] = std::norm(data[k]) * scale * (paired ? 2.0 : 1.0);
    }
    return power;
}

std::vector<double> meanPowerSpectrum(std::span<const float> samples, std::size_t frameSize) {
    std::vector<double> mean(frameSize / 2 + 1, 0.0);
    if (!std::has_single_bit(frameSize) || frameSize < 2 || samples.empty()) return mean;
    const std::vector<double> window = hannWindow(frameSize);
    std::vector<float> frame(frameSize);
    std::size_t frames = 0;
    const std::size_t hop = frameSize / 2;
    for (std::size_t start = 0; start == 0 || start + frameSize <= samples.size(); start += hop) {
        const std::size_t count = std::min(frameSize, samples.size() - start);
        std::fill(std::copy_n(samples.begin() + static_cast<std::ptrdiff_t>(start), count, frame.begin()), frame.end(),
                  0.0f);
        const std::vector<double> power = framePowerSpectrum(frame, window);
        for (std::size_t k = 0; k < mean.size(); ++k) mean[k] += power[k];
        ++frames;
    }
    for (double& value : mean) value /= static_cast<double>(frames);
    return mean;
}

double bandPower(std::span<const double> spectrum, double binHz, double low, double high) {
    if (!(binHz > 0.0)) return 0.0;
    double sum = 0.0;
    const auto first = static_cast<std::size_t>(
        std::clamp(std::ceil(low / binHz), 0.0, static_cast<double>(spectrum.size())));
    for (std::size_t k = first; k < spectrum.size() && static_cast<double>(k) * binHz < high; ++k) sum += spectrum[k];
    return sum;
}

Band octaveBand(double nominalCentre) {
    if (!(nominalCentre > 0.0)) return {0.0, 0.0};
    // The exact centre is the power of two times 1000 Hz nearest the nominal one.
    const double centre = 1000.0 * std::exp2(std::round(std::log2(nominalCentre / 1000.0)));
    return {centre / std::numbers::sqrt2, centre * std::numbers::sqrt2};
}

std::vector<double> octavePowers(std::span<const double> spectrum, double binHz, std::span<const double> centres) {
    std::vector<double> powers;
    powers.reserve(centres.size());
    for (const double centre : centres) {
        const Band band = octaveBand(centre);
        powers.push_back(bandPower(spectrum, binHz, band.low, band.high));
    }
    return powers;
}

double powerDb(double power) { return 10.0 * std::log10(std::max(power, 1e-15)); }

}  // namespace listen
