// Spectra for measuring the track: a radix-2 FFT, averaged power spectra of a stretch, and
// energy in octave bands. Powers are scaled so that a spectrum's bins add up to the mean
// square of the samples (a full-scale sine gives 0.5).
#pragma once

#include <array>
#include <complex>
#include <cstddef>
#include <span>
#include <vector>

namespace listen {

// In place; the size must be a power of two (anything else is left untouched and false
// is returned).
bool fft(std::span<std::complex<double>> data);

std::vector<double> hannWindow(std::size_t size);

// The one-sided power spectrum (bins 0..size/2) of one frame under the window (both the
// frame's size, a power of two).
std::vector<double> framePowerSpectrum(std::span<const float> frame, std::span<const double> window);

// The mean power spectrum of samples, in Hann-windowed frames of frameSize (a power of two)
// overlapping by half. Bins are rate / frameSize apart. A stretch shorter than one frame is
// measured as one frame padded with silence; an empty one gives all zeros.
std::vector<double> meanPowerSpectrum(std::span<const float> samples, std::size_t frameSize);

// The sum of the bins whose frequency lies in [low, high).
double bandPower(std::span<const double> spectrum, double binHz, double low, double high);

// Octave bands by their nominal centres; their edges lie half an octave either side of
// 1000 * 2^k Hz (so the "31.5 Hz" band runs from 22.1 to 44.2 Hz).
inline constexpr std::array<double, 10> kOctaveCentres = {31.5, 63, 125, 250, 500, 1000, 2000, 4000, 8000, 16000};
struct Band {
    double low, high;
};
Band octaveBand(double nominalCentre);
std::vector<double> octavePowers(std::span<const double> spectrum, double binHz, std::span<const double> centres);

// 10 log10 of a power, with silence held at -150 dB instead of minus infinity.
double powerDb(double power);

}  // namespace listen
