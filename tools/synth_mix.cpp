// The master: two buses, the kick's duck on the music bus, a soft limiter and the fade.
#include <algorithm>
#include <cmath>
#include <vector>

#include "synth.h"

namespace synth {
namespace {

// Overall level into the limiter.
constexpr float kMasterGain = 0.9f;
constexpr float kLimitThreshold = 0.7f;

constexpr std::int64_t kDuckAttack = 220;              // 5 ms down
constexpr float kDuckRecovery = 0.13f * kSampleRate;  // time constant back up, in samples

// The duck of one kick, dt samples after it.
float duckShape(std::int64_t dt, float depth) {
    if (dt < kDuckAttack) return 1.0f - depth * static_cast<float>(dt) / kDuckAttack;
    return 1.0f - depth * std::exp(-static_cast<float>(dt - kDuckAttack) / kDuckRecovery);
}

}  // namespace

float fadeGain(double seconds) {
    if (seconds <= kFadeStartSeconds) return 1.0f;
    if (seconds >= kFadeEndSeconds) return 0.0f;
    const double x = (kFadeEndSeconds - seconds) / (kFadeEndSeconds - kFadeStartSeconds);
    return static_cast<float>(x * x * (3.0 - 2.0 * x));
}

float softLimit(float x) {
    const float magnitude = std::fabs(x);
    if (magnitude <= kLimitThreshold) return x;
    const float headroom = 1.0f - kLimitThreshold;
    const float bent = kLimitThreshold + headroom * std::tanh((magnitude - kLimitThreshold) / headroom);
    return std::copysign(bent, x);
}

float duckGain(const Score& score, std::int64_t sample) {
    const auto after = std::upper_bound(score.kickStarts.begin(), score.kickStarts.end(), sample);
    if (after == score.kickStarts.begin()) return 1.0f;
    const auto index = static_cast<std::size_t>(after - score.kickStarts.begin()) - 1;
    return duckShape(sample - score.kickStarts[index], score.kickDepths[index]);
}

void renderMix(const Score& score, std::int64_t first, std::span<float> left, std::span<float> right) {
    if (left.size() != right.size()) return;
    const std::size_t count = left.size();
    const std::int64_t last = first + static_cast<std::int64_t>(count);
    std::vector<float> drums(2 * count, 0.0f), music(2 * count, 0.0f);
    const std::span<float> drumsLeft(drums.data(), count), drumsRight(drums.data() + count, count);
    const std::span<float> musicLeft(music.data(), count), musicRight(music.data() + count, count);

    // Notes are ordered by start; none lasts longer than longestNote.
    const auto firstNote = std::lower_bound(score.notes.begin(), score.notes.end(), first - score.longestNote,
                                            [](const Note& note, std::int64_t s) { return note.start < s; });
    for (auto note = firstNote; note != score.notes.end() && note->start < last; ++note) {
        if (note->end() <= first) continue;
        if (busOf(note->voice) == Bus::Drums) {
            renderNote(*note, first, drumsLeft, drumsRight);
        } else {
            renderNote(*note, first, musicLeft, musicRight);
        }
    }

    // The last kick at or before each sample, followed along the window.
    auto kick = std::upper_bound(score.kickStarts.begin(), score.kickStarts.end(), first);
    for (std::size_t i = 0; i < count; ++i) {
        const std::int64_t sample = first + static_cast<std::int64_t>(i);
        while (kick != score.kickStarts.end() && *kick <= sample) ++kick;
        float duck = 1.0f;
        if (kick != score.kickStarts.begin()) {
            const auto index = static_cast<std::size_t>(kick - score.kickStarts.begin()) - 1;
            duck = duckShape(sample - score.kickStarts[index], score.kickDepths[index]);
        }
        const float fade = fadeGain(static_cast<double>(sample) / kSampleRate);
        left[i] = softLimit(kMasterGain * (drumsLeft[i] + duck * musicLeft[i])) * fade;
        right[i] = softLimit(kMasterGain * (drumsRight[i] + duck * musicRight[i])) * fade;
    }
}

void toPcm16(std::span<const float> left, std::span<const float> right, std::span<std::int16_t> out) {
    const std::size_t count = std::min({left.size(), right.size(), out.size() / 2});
    for (std::size_t i = 0; i < count; ++i) {
        out[2 * i] = static_cast<std::int16_t>(std::lround(std::clamp(left[i], -1.0f, 1.0f) * 32767.0f));
        out[2 * i + 1] = static_cast<std::int16_t>(std::lround(std::clamp(right[i], -1.0f, 1.0f) * 32767.0f));
    }
}

}  // namespace synth
