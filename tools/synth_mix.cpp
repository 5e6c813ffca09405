// The master: two buses and a send into the room, the kick's duck on the music bus, a DC
// filter, a soft limiter and the fade.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "synth.h"

namespace synth {
namespace {

// Overall level into the limiter.
constexpr float kMasterGain = 0.95f;
// The limiter never passes this: -2.9 dBFS, so that the peaks between samples and the
// encoder's ripple stay under -1 dBFS.
constexpr float kCeiling = 0.72f;

constexpr std::int64_t kDuckAttack = 220;             // 5 ms down
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
    const float headroom = kCeiling - kLimitThreshold;
    const float bent = kLimitThreshold + headroom * std::tanh((magnitude - kLimitThreshold) / headroom);
    return std::copysign(bent, x);
}

float duckGain(const Score& score, std::int64_t sample) {
    const auto after = std::upper_bound(score.kickStarts.begin(), score.kickStarts.end(), sample);
    if (after == score.kickStarts.begin()) return 1.0f;
    const auto index = static_cast<std::size_t>(after - score.kickStarts.begin()) - 1;
    return duckShape(sample - score.kickStarts[index], score.kickDepths[index]);
}

namespace {

// The room's tail and the DC filter depend on what came before. So the mix is made in
// segments on a fixed grid, each started from silence a few seconds earlier than its
// first sample (by then any earlier tail has fallen below 16-bit resolution): a sample
// depends only on its position, however the track is cut into windows.
constexpr std::int64_t kSegmentSamples = 10 * kSampleRate;
constexpr std::int64_t kSegmentPreroll = 4 * kSampleRate;
constexpr float kRoomGain = 0.32f;
constexpr float kDcHz = 12.0f;

struct Buses {
    std::vector<float> drumsLeft, drumsRight, musicLeft, musicRight, sendLeft, sendRight, noteLeft, noteRight;

    void clear(std::size_t count) {
        for (std::vector<float>* bus : {&drumsLeft, &drumsRight, &musicLeft, &musicRight, &sendLeft, &sendRight}) {
            bus->assign(count, 0.0f);
        }
    }
};

// Every note sounding in [first, first + count) into its bus, and its share into the send.
void renderBuses(const Score& score, std::int64_t first, std::size_t count, Buses& buses) {
    buses.clear(count);
    const std::int64_t last = first + static_cast<std::int64_t>(count);
    // Notes are ordered by start; none lasts longer than longestNote.
    const auto firstNote = std::lower_bound(score.notes.begin(), score.notes.end(), first - score.longestNote,
                                            [](const Note& note, std::int64_t s) { return note.start < s; });
    for (auto note = firstNote; note != score.notes.end() && note->start < last; ++note) {
        if (note->end() <= first) continue;
        const std::int64_t from = std::max(first, note->start);
        const auto length = static_cast<std::size_t>(std::min(last, note->end()) - from);
        buses.noteLeft.assign(length, 0.0f);
        buses.noteRight.assign(length, 0.0f);
        renderNote(*note, from, buses.noteLeft, buses.noteRight);
        const auto offset = static_cast<std::size_t>(from - first);
        const bool drums = busOf(note->voice) == Bus::Drums;
        float* const busLeft = (drums ? buses.drumsLeft : buses.musicLeft).data() + offset;
        float* const busRight = (drums ? buses.drumsRight : buses.musicRight).data() + offset;
        for (std::size_t i = 0; i < length; ++i) {
            busLeft[i] += buses.noteLeft[i];
            busRight[i] += buses.noteRight[i];
        }
        const float send = sendOf(note->voice);
        if (send > 0.0f) {
            for (std::size_t i = 0; i < length; ++i) {
                buses.sendLeft[offset + i] += send * buses.noteLeft[i];
                buses.sendRight[offset + i] += send * buses.noteRight[i];
            }
        }
    }
}

}  // namespace

void renderMix(const Score& score, std::int64_t first, std::span<float> left, std::span<float> right) {
    if (left.size() != right.size()) return;
    const std::int64_t last = first + static_cast<std::int64_t>(left.size());
    std::fill(left.begin(), left.end(), 0.0f);
    std::fill(right.begin(), right.end(), 0.0f);
    Buses buses;
    std::vector<float> roomLeft, roomRight;
    for (std::int64_t segment = std::max<std::int64_t>(first, 0) / kSegmentSamples * kSegmentSamples; segment < last;
         segment += kSegmentSamples) {
        const std::int64_t runFrom = std::max<std::int64_t>(segment - kSegmentPreroll, 0);
        const std::int64_t runTo = std::min(segment + kSegmentSamples, last);
        const auto count = static_cast<std::size_t>(runTo - runFrom);
        renderBuses(score, runFrom, count, buses);
        roomLeft.assign(count, 0.0f);
        roomRight.assign(count, 0.0f);
        addRoom(buses.sendLeft, buses.sendRight, roomLeft, roomRight, kRoomGain);

        // The last kick at or before each sample, followed along the run.
        auto kick = std::upper_bound(score.kickStarts.begin(), score.kickStarts.end(), runFrom);
        const float dcPole = std::exp(-2.0f * std::numbers::pi_v<float> * kDcHz / kSampleRate);
        float dcInLeft = 0.0f, dcInRight = 0.0f, dcOutLeft = 0.0f, dcOutRight = 0.0f;
        for (std::size_t i = 0; i < count; ++i) {
            const std::int64_t sample = runFrom + static_cast<std::int64_t>(i);
            while (kick != score.kickStarts.end() && *kick <= sample) ++kick;
            float duck = 1.0f;
            if (kick != score.kickStarts.begin()) {
                const auto index = static_cast<std::size_t>(kick - score.kickStarts.begin()) - 1;
                duck = duckShape(sample - score.kickStarts[index], score.kickDepths[index]);
            }
            const float mixLeft = buses.drumsLeft[i] + duck * buses.musicLeft[i] + roomLeft[i];
            const float mixRight = buses.drumsRight[i] + duck * buses.musicRight[i] + roomRight[i];
            dcOutLeft = mixLeft - dcInLeft + dcPole * dcOutLeft;
            dcOutRight = mixRight - dcInRight + dcPole * dcOutRight;
            dcInLeft = mixLeft;
            dcInRight = mixRight;
            if (sample < std::max(first, segment)) continue;
            const auto out = static_cast<std::size_t>(sample - first);
            const float fade = fadeGain(static_cast<double>(sample) / kSampleRate);
            left[out] = softLimit(kMasterGain * dcOutLeft) * fade;
            right[out] = softLimit(kMasterGain * dcOutRight) * fade;
        }
    }
}

bool renderTrackPcm(const Score& score, const std::function<bool(std::span<const std::int16_t>)>& write) {
    std::vector<float> left, right;
    std::vector<std::int16_t> pcm;
    const std::int64_t total = trackSamples();
    for (std::int64_t first = 0; first < total; first += kSegmentSamples) {
        const auto count = static_cast<std::size_t>(std::min(kSegmentSamples, total - first));
        left.resize(count);
        right.resize(count);
        pcm.resize(2 * count);
        renderMix(score, first, left, right);
        toPcm16(left, right, pcm);
        if (!write(pcm)) return false;
    }
    return true;
}

void toPcm16(std::span<const float> left, std::span<const float> right, std::span<std::int16_t> out) {
    const std::size_t count = std::min({left.size(), right.size(), out.size() / 2});
    for (std::size_t i = 0; i < count; ++i) {
        out[2 * i] = static_cast<std::int16_t>(std::lround(std::clamp(left[i], -1.0f, 1.0f) * 32767.0f));
        out[2 * i + 1] = static_cast<std::int16_t>(std::lround(std::clamp(right[i], -1.0f, 1.0f) * 32767.0f));
    }
}

}  // namespace synth
