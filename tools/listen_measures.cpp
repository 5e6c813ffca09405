// The octave balance, the turn changes and the beat's clarity of a decoded track.
#include "listen_measures.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <span>

#include "listen_spectrum.h"

namespace listen {
namespace {

// 0.37 s frames (2.7 Hz bins) for the long stretches, 0.19 s for the 4 s either side of a turn.
constexpr std::size_t kBalanceFrame = 16384;
constexpr std::size_t kTurnFrame = 8192;
constexpr double kLowShareHz = 60.0;
constexpr double kUpperHz = 300.0;

std::span<const float> stretch(const Audio& audio, std::size_t channel, double from, double to) {
    const auto frames = static_cast<double>(audio.frames());
    const double first = std::clamp(std::round(from * audio.sampleRate), 0.0, frames);
    const double last = std::clamp(std::round(to * audio.sampleRate), first, frames);
    return std::span<const float>(audio.channels[channel])
        .subspan(static_cast<std::size_t>(first), static_cast<std::size_t>(last - first));
}

std::vector<double> channelMeanSpectrum(const Audio& audio, double from, double to, std::size_t frameSize) {
    std::vector<double> mean(frameSize / 2 + 1, 0.0);
    for (std::size_t c = 0; c < audio.channels.size(); ++c) {
        const std::vector<double> power = meanPowerSpectrum(stretch(audio, c, from, to), frameSize);
        for (std::size_t k = 0; k < mean.size(); ++k) mean[k] += power[k] / static_cast<double>(audio.channels.size());
    }
    return mean;
}

double binHz(const Audio& audio, std::size_t frameSize) {
    return static_cast<double>(audio.sampleRate) / static_cast<double>(frameSize);
}

double total(const std::vector<double>& spectrum) {
    double sum = 0.0;
    for (const double value : spectrum) sum += value;
    return sum;
}

}  // namespace

OctaveBalance octaveBalance(const Audio& audio, double from, double to) {
    const std::vector<double> spectrum = channelMeanSpectrum(audio, from, to, kBalanceFrame);
    const double hz = binHz(audio, kBalanceFrame);
    const std::vector<double> powers = octavePowers(spectrum, hz, kOctaveCentres);
    const double loudest = *std::max_element(powers.begin(), powers.end());
    OctaveBalance balance;
    for (const double power : powers) balance.relativeDb.push_back(powerDb(power) - powerDb(loudest));
    const double all = total(spectrum);
    balance.shareBelow60Hz = all > 0.0 ? bandPower(spectrum, hz, 0.0, kLowShareHz) / all : 0.0;
    return balance;
}

TurnChange turnChange(const Audio& audio, double turn) {
    const std::vector<double> before = channelMeanSpectrum(audio, turn - kTurnGapSeconds - kTurnSpanSeconds,
                                                           turn - kTurnGapSeconds, kTurnFrame);
    const std::vector<double> after = channelMeanSpectrum(audio, turn + kTurnGapSeconds,
                                                          turn + kTurnGapSeconds + kTurnSpanSeconds, kTurnFrame);
    const double hz = binHz(audio, kTurnFrame);
    constexpr double kAbove = std::numeric_limits<double>::infinity();
    TurnChange change;
    change.levelDb = powerDb(total(after)) - powerDb(total(before));
    change.upperDb = powerDb(bandPower(after, hz, kUpperHz, kAbove)) - powerDb(bandPower(before, hz, kUpperHz, kAbove));

    // The bands from 63 Hz to 8 kHz: the octaves the ear follows most closely in a mix.
    const std::span<const double> centres = std::span(kOctaveCentres).subspan(1, 8);
    const std::vector<double> was = octavePowers(before, hz, centres);
    const std::vector<double> is = octavePowers(after, hz, centres);
    std::vector<double> deltas;
    for (std::size_t b = 0; b < centres.size(); ++b) deltas.push_back(powerDb(is[b]) - powerDb(was[b]));
    double mean = 0.0, squares = 0.0;
    for (const double delta : deltas) {
        mean += delta / static_cast<double>(deltas.size());
        squares += delta * delta / static_cast<double>(deltas.size());
    }
    change.distanceDb = std::sqrt(squares);
    change.shapeDb = std::sqrt(std::max(0.0, squares - mean * mean));
    return change;
}

Peak beatClarity(const Audio& audio, double from, double to, double fromLag, double toLag) {
    if (audio.channels.empty() || !(toLag >= fromLag) || !(fromLag >= 0.0)) return {};
    std::vector<float> mono(stretch(audio, 0, from, to).size(), 0.0f);
    for (std::size_t c = 0; c < audio.channels.size(); ++c) {
        const std::span<const float> samples = stretch(audio, c, from, to);
        for (std::size_t i = 0; i < mono.size(); ++i) mono[i] += samples[i] / static_cast<float>(audio.channels.size());
    }
    const std::vector<double> envelope = onsetEnvelope(mono, audio.sampleRate);
    const double lagFrames = std::ceil(toLag * kOnsetFramesPerSecond) + 1.0;
    const auto maxLag = static_cast<std::size_t>(std::min(lagFrames, static_cast<double>(envelope.size())));
    const std::vector<double> r = normalisedAutocorrelation(envelope, maxLag);
    return autocorrelationPeak(r, kOnsetFramesPerSecond, fromLag, toLag);
}

double meanSquare(const Audio& audio) {
    double sum = 0.0;
    std::size_t count = 0;
    for (const auto& channel : audio.channels) {
        for (const float sample : channel) sum += static_cast<double>(sample) * sample;
        count += channel.size();
    }
    return count > 0 ? sum / static_cast<double>(count) : 0.0;
}

}  // namespace listen
