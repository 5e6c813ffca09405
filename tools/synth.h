// The synthesiser behind the demo's music track: a score of notes on a fixed beat grid
// (the demo's beat grid) and the voices, bus mix, limiter and fade that
// turn it into samples. Every sample is a pure function of its position in the track,
// so any stretch renders the same on its own as inside the whole.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "base/beat_grid.h"
#include "base/cue_times.h"

namespace synth {

inline constexpr int kSampleRate = 44100;
inline constexpr std::int64_t kBeatSamples = std::int64_t{kBeatHundredths} * (kSampleRate / 100);  // exactly
inline constexpr double kBeatSeconds = kBeatHundredths / 100.0;
inline constexpr double kBarSeconds = kBeatHundredths * kBeatsPerBar / 100.0;
inline constexpr int kStepsPerBeat = 4;  // sixteenth notes
inline constexpr int kStepsPerBar = kBeatsPerBar * kStepsPerBeat;
inline constexpr double kStepSeconds = kBeatSeconds / kStepsPerBeat;  // exactly a quarter
inline constexpr double kFadeStartSeconds = kEndLogoIn.exactSeconds();
inline constexpr double kFadeEndSeconds = kDemoEndTime.exactSeconds();  // silent from here on
inline constexpr double kTrackSeconds = 227.0;

// The moments where the picture turns, from the demo's cues; the music changes section at
// each. Each section's phrases and chord loop start at the first bar line at or after its turn.
inline constexpr std::array<double, kMusicTurnCount> kSectionTimes = [] {
    std::array<double, kMusicTurnCount> times{};
    for (std::size_t i = 0; i < kMusicTurnCount; ++i) times[i] = kMusicTurns[i].exactSeconds();
    return times;
}();
inline constexpr std::int64_t kBarSamples = kBeatSamples * kBeatsPerBar;

// Sample of beat n: the beat's length in samples is whole.
constexpr std::int64_t beatSample(std::int64_t beat) { return beat * kBeatSamples; }
// Sample of sixteenth step n, rounded to the nearest sample.
constexpr std::int64_t stepSample(std::int64_t step) {
    return (step * kBeatSamples + kStepsPerBeat / 2) / kStepsPerBeat;
}
std::int64_t secondsToSample(double seconds);
std::int64_t trackSamples();
// The number of section turns at or before this time: 0 in the intro, all of them after the last.
int sectionAt(double seconds);
// The first bar of a section (0 for the intro): the bar line at or after its turn.
std::int64_t sectionFirstBar(int section);

enum class Voice : std::uint8_t { Kick, Snare, Hat, Bass, Pluck, Pad, Lead, Impact, Riser };

// The drums bus plays straight; the music bus ducks under the kick. Both feed the room.
enum class Bus : std::uint8_t { Drums, Music };

struct Note {
    std::int64_t start = 0;    // first sample
    std::int32_t gate = 0;     // samples held
    std::int32_t release = 0;  // samples of tail after the gate
    float pitch = 0.0f;        // MIDI note number (voices without pitch ignore it)
    float gain = 0.0f;
    float pan = 0.0f;   // -1 left .. 1 right
    float tone = 0.0f;  // 0..1: brightness, drive or decay, by voice
    Voice voice = Voice::Kick;
    std::uint32_t seed = 1;  // noise and phase seed of this note

    std::int64_t end() const { return start + gate + release; }
};

struct Score {
    std::vector<Note> notes;               // ordered by start
    std::vector<std::int64_t> kickStarts;  // ascending, for the ducking
    std::vector<float> kickDepths;         // duck depth of each kick
    std::int64_t longestNote = 0;          // samples, gate plus release
};

Bus busOf(Voice voice);
// How much of a voice goes to the room (0 for none).
float sendOf(Voice voice);

// The whole track's score, the same on every call.
Score composeTrack();

// Adds one note's samples in [first, first + left.size()) to the two channels.
void renderNote(const Note& note, std::int64_t first, std::span<float> left, std::span<float> right);

// The limiter leaves everything up to this level alone.
inline constexpr float kLimitThreshold = 0.5f;

// Master gain: 1 until the fade starts, falling smoothly to exactly 0 at its end.
float fadeGain(double seconds);
// Transparent up to kLimitThreshold, then bends smoothly towards a ceiling of 0.72, which
// only inputs far beyond full scale reach.
float softLimit(float x);
// Gain of the music bus at a sample: dips after each kick and recovers.
float duckGain(const Score& score, std::int64_t sample);

// Adds the room's answer to a send, started from silence at the span's first sample.
void addRoom(std::span<const float> sendLeft, std::span<const float> sendRight, std::span<float> left,
             std::span<float> right, float gain);

// The finished mix of [first, first + left.size()): buses, room, ducking, DC filter, limiter
// and fade.
// left and right must be the same size.
void renderMix(const Score& score, std::int64_t first, std::span<float> left, std::span<float> right);

// The whole track as interleaved 16-bit stereo, handed to `write` a segment of the mix at
// a time (bounded memory, and no segment's run made twice). Stops, returning false, at the
// first piece `write` refuses.
bool renderTrackPcm(const Score& score, const std::function<bool(std::span<const std::int16_t>)>& write);

// Interleaves two channels in [-1, 1] into 16-bit PCM; out holds 2 * left.size() values.
void toPcm16(std::span<const float> left, std::span<const float> right, std::span<std::int16_t> out);

}  // namespace synth
