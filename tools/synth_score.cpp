// The composition: D minor, 74.07 BPM in 5/4, sections turning on the demo's cues.
// Every part is written on the sixteenth-note grid; only the impacts and the ends of the
// build-ups sit on the cue times themselves.
#include <algorithm>
#include <cmath>

#include "synth.h"

namespace synth {
namespace {

// The composer's own generator (xorshift), so the score never depends on the demo's.
struct ScoreRandom {
    std::uint32_t state = 0x2545f491u;
    std::uint32_t next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    // Uniform in [lo, hi).
    float range(float lo, float hi) {
        return lo + (hi - lo) * static_cast<float>(next() >> 8) * (1.0f / 16777216.0f);
    }
};

struct Chord {
    float root;       // bass note
    float pad[4];     // pad voicing
    float arp[4];     // arpeggio tones
};

enum ChordName { Dm, Bbmaj7, Gm7, A, C, F };
constexpr Chord kChords[] = {
    {38, {50, 57, 62, 65}, {62, 65, 69, 74}},  // Dm
    {34, {46, 53, 57, 62}, {58, 62, 65, 69}},  // Bbmaj7
    {31, {50, 55, 58, 65}, {62, 67, 70, 74}},  // Gm7
    {33, {49, 52, 57, 64}, {61, 64, 69, 73}},  // A
    {36, {48, 55, 60, 64}, {60, 64, 67, 72}},  // C
    {29, {48, 53, 57, 60}, {60, 65, 69, 72}},  // F
};
// Four-bar progressions, chosen per section.
constexpr ChordName kProgressions[][4] = {
    {Dm, Bbmaj7, Gm7, A},  // the theme
    {Bbmaj7, Gm7, Dm, A},  // breakdown and outro
    {Dm, Dm, Bbmaj7, C},   // the driving wall
    {Dm, F, C, Gm7},       // credits
    {Dm, Dm, Dm, Dm},      // the last chord
};

// What plays in one section. Levels are 0 for silent parts; patterns index the tables
// in the functions below.
struct Arrangement {
    float kick;
    int kickPattern;
    float kickDrive;
    float snare;
    int snarePattern;
    float hats;
    int hatPattern;
    float bass;
    int bassPattern;
    float bassDrive;
    float pluck;
    int pluckPattern;
    float pad;
    float padBrightness;
    float lead;
    int leadTheme;
    float leadBrightness;
    float duck;
    int progression;
};

// Indexed by sectionAt(): before 25.5, then one row per cue.
constexpr Arrangement kArrangement[] = {
    // kick       snare    hats     bass           pluck    pad         lead           duck prog
    {0.0f, 0, 0.0f, 0.0f, 0, 0.3f, 4, 0.5f, 1, 0.0f, 0.0f, 0, 1.0f, 0.2f, 0.0f, 0, 0.0f, 0.0f, 0},    // intro
    {1.0f, 1, 0.2f, 0.0f, 0, 0.5f, 1, 0.8f, 2, 0.2f, 0.0f, 0, 0.8f, 0.3f, 0.0f, 0, 0.0f, 0.5f, 0},    // 25.5
    {1.0f, 1, 0.2f, 0.6f, 1, 0.55f, 2, 0.85f, 2, 0.25f, 0.5f, 1, 0.7f, 0.4f, 0.0f, 0, 0.0f, 0.5f, 0}, // 45
    {1.0f, 1, 0.3f, 0.8f, 1, 0.6f, 2, 0.9f, 4, 0.3f, 0.45f, 2, 0.7f, 0.45f, 0.8f, 1, 0.4f, 0.55f, 0}, // 58.5
    {0.0f, 0, 0.0f, 0.0f, 0, 0.0f, 0, 0.6f, 1, 0.0f, 0.35f, 1, 1.0f, 0.3f, 0.6f, 1, 0.15f, 0.0f, 1},  // 91.05 blob
    {1.0f, 2, 0.6f, 0.9f, 2, 0.6f, 2, 0.65f, 4, 0.6f, 0.4f, 2, 0.7f, 0.6f, 0.85f, 1, 0.6f, 0.65f, 0}, // 104.05
    {1.0f, 3, 0.5f, 0.8f, 1, 0.7f, 3, 0.7f, 3, 0.5f, 0.6f, 2, 0.5f, 0.6f, 0.0f, 0, 0.0f, 0.6f, 2},   // 130 wall
    {1.0f, 3, 0.5f, 0.8f, 2, 0.7f, 3, 0.7f, 3, 0.5f, 0.3f, 1, 0.55f, 0.6f, 0.7f, 2, 0.5f, 0.6f, 2},  // 142.3
    {0.6f, 4, 0.0f, 0.4f, 3, 0.35f, 1, 0.6f, 1, 0.0f, 0.45f, 1, 1.0f, 0.35f, 0.6f, 1, 0.25f, 0.3f, 3}, // 155 credits
    {0.5f, 5, 0.0f, 0.0f, 0, 0.25f, 4, 0.5f, 1, 0.0f, 0.4f, 1, 1.0f, 0.25f, 0.0f, 0, 0.0f, 0.2f, 3},  // 175
    {0.9f, 1, 0.3f, 0.6f, 1, 0.5f, 2, 0.8f, 2, 0.3f, 0.45f, 2, 0.8f, 0.45f, 0.65f, 2, 0.4f, 0.5f, 0}, // 183
    {0.6f, 4, 0.0f, 0.3f, 3, 0.3f, 1, 0.6f, 1, 0.0f, 0.35f, 1, 1.0f, 0.3f, 0.5f, 1, 0.2f, 0.3f, 1},  // 200 outro
    {0.0f, 0, 0.0f, 0.0f, 0, 0.0f, 0, 0.4f, 1, 0.0f, 0.0f, 0, 1.0f, 0.2f, 0.0f, 0, 0.0f, 0.0f, 4},   // 217
};
static_assert(std::size(kArrangement) == kSectionTimes.size() + 1);

// Hit strength at each cue, and the build-up (seconds, level) that lands on it.
constexpr float kImpactGain[] = {1.0f, 0.6f, 0.8f, 0.9f, 1.0f, 1.0f, 0.6f, 0.7f, 0.4f, 0.6f, 0.7f, 0.5f};
constexpr float kRiserSeconds[] = {6.0f, 4.05f, 4.05f, 6.0f, 6.5f, 8.1f, 3.24f, 4.05f, 0.0f, 4.05f, 4.05f, 0.0f};
constexpr float kRiserGain[] = {0.5f, 0.3f, 0.35f, 0.45f, 0.6f, 0.7f, 0.3f, 0.3f, 0.0f, 0.35f, 0.3f, 0.0f};
static_assert(std::size(kImpactGain) == kSectionTimes.size() && std::size(kRiserSeconds) == kSectionTimes.size() &&
              std::size(kRiserGain) == kSectionTimes.size());

// Cues that a snare roll leads into, and the kick falls silent for the beat before.
constexpr double kDropCues[] = {104.05, 130.0};
constexpr int kRollSteps = 12;

// The melody over four bars (80 sixteenths): start step, length in steps, pitch.
struct MelodyNote {
    int step, length;
    float pitch;
};
constexpr MelodyNote kThemeA[] = {
    {0, 4, 69},  {4, 2, 74},  {6, 6, 77},  {12, 4, 76}, {16, 4, 74},  // over Dm
    {20, 4, 74}, {24, 2, 72}, {26, 6, 74}, {32, 4, 77}, {36, 4, 69},  // over Bb
    {40, 6, 79}, {46, 2, 77}, {48, 4, 74}, {52, 4, 70}, {56, 4, 74},  // over Gm
    {60, 6, 76}, {66, 4, 73}, {70, 10, 69},                           // over A
};
// The driving riff, one bar, as indices into the chord's arpeggio tones.
constexpr int kRiffSteps[] = {0, 2, 3, 5, 6, 8, 10, 11, 13, 14, 16, 18};
constexpr int kRiffTones[] = {0, 1, 2, 1, 3, 2, 0, 2, 3, 2, 1, 0};

constexpr float kEchoGain[] = {0.38f, 0.15f};
constexpr float kEchoPan[] = {-0.55f, 0.55f};
constexpr int kEchoSteps = 3;  // dotted eighth

std::int32_t seconds(double s) { return static_cast<std::int32_t>(std::lround(s * kSampleRate)); }
std::int32_t stepLength(double steps) {
    return static_cast<std::int32_t>(std::lround(steps * static_cast<double>(kBeatSamples) / kStepsPerBeat));
}
double sampleSeconds(std::int64_t sample) { return static_cast<double>(sample) / kSampleRate; }

class Composer {
public:
    Score score;

    void add(Note note) {
        note.seed = ++seedCounter_ * 2654435761u;
        score.longestNote = std::max<std::int64_t>(score.longestNote, note.gate + note.release);
        score.notes.push_back(note);
    }

    void compose() {
        // Nothing new starts in the last seconds of the fade.
        const std::int64_t lastStep = secondsToSample(223.0);
        for (std::int64_t step = 0; stepSample(step) < lastStep; ++step) composeStep(step);
        composeCues();
        std::stable_sort(score.notes.begin(), score.notes.end(),
                         [](const Note& a, const Note& b) { return a.start < b.start; });
    }

private:
    void composeStep(std::int64_t step) {
        const std::int64_t start = stepSample(step);
        const double t = sampleSeconds(start);
        const Arrangement& arr = kArrangement[sectionAt(t)];
        const int inBar = static_cast<int>(step % kStepsPerBar);
        const std::int64_t bar = step / kStepsPerBar;
        const Chord& chord = kChords[kProgressions[arr.progression][bar % 4]];

        composeDrums(step, inBar, t, arr);
        if (inBar == 0 && arr.pad > 0.0f) composePad(step, chord, arr);
        composeBass(step, inBar, t, chord, arr);
        composePluck(step, inBar, chord, arr);
        composeLead(step, inBar, bar, chord, arr);
    }

    void composeDrums(std::int64_t step, int inBar, double t, const Arrangement& arr) {
        const std::int64_t start = stepSample(step);
        bool kickSilenced = false;
        for (const double cue : kDropCues) {
            const double before = cue - t;
            if (before > 0.0 && before <= 0.81) kickSilenced = true;
            if (before > 0.0 && before <= kRollSteps * 0.2025 + 1e-9) {
                const float progress = static_cast<float>(1.0 - before / (kRollSteps * 0.2025));
                add({start, 0, seconds(0.8), 0, 0.12f + 0.3f * progress, 0.1f, 0.5f, Voice::Snare});
            }
        }
        if (arr.kick > 0.0f && !kickSilenced) {
            float level = 0.0f;
            switch (arr.kickPattern) {
            case 1: level = inBar % 4 == 0 ? 1.0f : 0.0f; break;
            case 2: level = inBar % 4 == 0 ? 1.0f : (inBar == 10 || inBar == 18) ? 0.55f : 0.0f; break;
            case 3: level = inBar % 4 == 0 ? 1.0f : inBar == 14 ? 0.6f : 0.0f; break;
            case 4: level = (inBar == 0 || inBar == 8 || inBar == 12) ? 1.0f : 0.0f; break;
            case 5: level = inBar == 0 ? 1.0f : 0.0f; break;
            default: break;
            }
            if (level > 0.0f) addKick(start, arr.kick * level * 0.85f, arr.kickDrive, arr.duck * level);
        }

        // The intro lets the beat in by halves: sparse hats after two bars, a rim after four.
        int hatPattern = arr.hatPattern;
        float hats = arr.hats;
        int snarePattern = arr.snarePattern;
        float snare = arr.snare;
        if (sectionAt(t) == 0) {
            if (t < 8.1) hats = 0.0f;
            if (t >= 16.2) {
                hatPattern = 1;
                snarePattern = 3;
                snare = 0.35f;
            }
        } else if (sectionAt(t) == 4 && t >= 97.2) {
            hatPattern = 1;
            hats = 0.3f;
        }

        if (snare > 0.0f) {
            float level = 0.0f;
            float tone = 0.8f;
            switch (snarePattern) {
            case 1: level = (inBar == 8 || inBar == 16) ? 1.0f : 0.0f; break;
            case 2: level = (inBar == 8 || inBar == 16) ? 1.0f : inBar == 19 ? 0.3f : inBar == 6 ? 0.2f : 0.0f; break;
            case 3:
                level = inBar == 16 ? 1.0f : 0.0f;
                tone = 0.1f;
                break;
            default: break;
            }
            if (level > 0.0f) {
                add({start, 0, seconds(1.0), 0, snare * level * 0.42f * random_.range(0.94f, 1.06f), -0.05f, tone,
                     Voice::Snare});
            }
        }

        if (hats > 0.0f) {
            float level = 0.0f;
            float open = 0.0f;
            switch (hatPattern) {
            case 1: level = inBar % 4 == 2 ? 1.0f : 0.0f; break;
            case 2: level = inBar % 4 == 2 ? 1.0f : inBar % 2 == 0 ? 0.5f : 0.0f; break;
            case 3: level = inBar % 4 == 2 ? 1.0f : inBar % 2 == 0 ? 0.55f : 0.3f; break;
            case 4: level = (inBar == 6 || inBar == 14) ? 0.8f : 0.0f; break;
            default: break;
            }
            if (arr.hatPattern == 2 && arr.kickDrive > 0.5f && (inBar == 6 || inBar == 14)) open = 0.9f;
            if (level > 0.0f) {
                const float decaySeconds = 0.028f + 0.22f * open;
                add({start, 0, seconds(0.05 + 5.0 * decaySeconds), 0,
                     hats * level * 0.16f * random_.range(0.9f, 1.1f), open > 0.0f ? -0.25f : 0.3f, open,
                     Voice::Hat});
            }
        }
    }

    // Kicks come in step order, so the duck list stays ascending.
    void addKick(std::int64_t start, float gain, float drive, float duckDepth) {
        add({start, 0, seconds(1.6), 0, gain, 0.0f, drive, Voice::Kick});
        score.kickStarts.push_back(start);
        score.kickDepths.push_back(duckDepth);
    }

    void composePad(std::int64_t step, const Chord& chord, const Arrangement& arr) {
        constexpr float kSpread[4] = {-0.55f, -0.18f, 0.18f, 0.55f};
        const std::int64_t start = stepSample(step);
        const auto gate = static_cast<std::int32_t>(stepSample(step + kStepsPerBar) - start);
        for (int v = 0; v < 4; ++v) {
            add({start, gate, seconds(5.0), chord.pad[v], arr.pad * 0.08f, kSpread[v], arr.padBrightness, Voice::Pad});
        }
    }

    void composeBass(std::int64_t step, int inBar, double t, const Chord& chord, const Arrangement& arr) {
        if (arr.bass <= 0.0f) return;
        // The intro's bass only enters after its first three bars.
        if (sectionAt(t) == 0 && t < 12.15) return;
        constexpr int kHeavySteps[] = {0, 3, 6, 8, 11, 14, 16, 18};
        constexpr double kHeavyLengths[] = {2.5, 2.5, 1.5, 2.5, 2.5, 1.5, 1.5, 1.5};
        constexpr float kHeavyOffsets[] = {0, 0, 12, 0, 0, 12, 0, 7};
        const std::int64_t start = stepSample(step);
        double length = 0.0;
        float offset = 0.0f;
        switch (arr.bassPattern) {
        case 1:
            if (inBar == 0) length = kStepsPerBar - 0.5;
            break;
        case 2:
            if (inBar % 4 == 2) length = 1.6;
            break;
        case 3:
            if (inBar % 4 != 0) {
                length = 0.8;
                offset = inBar % 4 == 3 && inBar > 10 ? 12.0f : 0.0f;
            }
            break;
        case 4:
            for (std::size_t i = 0; i < std::size(kHeavySteps); ++i) {
                if (kHeavySteps[i] == inBar) {
                    length = kHeavyLengths[i];
                    offset = kHeavyOffsets[i];
                }
            }
            break;
        default: break;
        }
        if (length <= 0.0) return;
        add({start, stepLength(length), seconds(0.35), chord.root + offset, arr.bass * 0.3f, 0.0f, arr.bassDrive,
             Voice::Bass});
    }

    void composePluck(std::int64_t step, int inBar, const Chord& chord, const Arrangement& arr) {
        if (arr.pluck <= 0.0f) return;
        constexpr int kUpDown[] = {0, 1, 2, 3, 2, 1};
        constexpr int kRolling[] = {0, 1, 2, 3, 1, 2, 3, 0};
        int tone = -1;
        if (arr.pluckPattern == 1 && inBar % 2 == 0) tone = kUpDown[(inBar / 2) % 6];
        if (arr.pluckPattern == 2) tone = kRolling[inBar % 8];
        if (tone < 0) return;
        const std::int64_t start = stepSample(step);
        // The filter opens and closes over a few bars.
        const float sweep = 0.35f + 0.3f * static_cast<float>(std::sin(static_cast<double>(step) * 0.021));
        const float accent = inBar % 4 == 0 ? 1.0f : 0.8f;
        add({start, stepLength(0.9), seconds(0.7), chord.arp[tone], arr.pluck * 0.085f * accent,
             (step % 2 == 0) ? -0.35f : 0.35f, sweep, Voice::Pluck});
    }

    void composeLead(std::int64_t step, int inBar, std::int64_t bar, const Chord& chord, const Arrangement& arr) {
        if (arr.lead <= 0.0f) return;
        const std::int64_t start = stepSample(step);
        if (arr.leadTheme == 1) {
            const int inPhrase = static_cast<int>(step % (4 * kStepsPerBar));
            for (const MelodyNote& m : kThemeA) {
                if (m.step != inPhrase) continue;
                float pitch = m.pitch;
                // The leading C sharp belongs to A; over other chords it resolves to D.
                if (static_cast<int>(pitch) % 12 == 1 && chord.root != kChords[A].root) pitch += 1.0f;
                addLead(step, start, m.length - 0.4, pitch, arr.lead * 0.1f, arr.leadBrightness, 0.38f);
            }
        } else if (arr.leadTheme == 2) {
            for (std::size_t i = 0; i < std::size(kRiffSteps); ++i) {
                if (kRiffSteps[i] != inBar) continue;
                // Every other bar lifts the riff by an octave.
                const float pitch = chord.arp[kRiffTones[i]] + (bar % 2 == 1 ? 12.0f : 0.0f);
                addLead(step, start, 1.4, pitch, arr.lead * 0.075f, arr.leadBrightness, 0.2f);
            }
        }
    }

    void addLead(std::int64_t step, std::int64_t start, double steps, float pitch, float gain, float brightness,
                 float echoScale) {
        const std::int32_t gate = stepLength(steps);
        add({start, gate, seconds(0.9), pitch, gain, 0.05f, brightness, Voice::Lead});
        for (std::size_t e = 0; e < std::size(kEchoGain); ++e) {
            const std::int64_t echoStart = stepSample(step + kEchoSteps * static_cast<std::int64_t>(e + 1));
            add({echoStart, gate, seconds(0.9), pitch, gain * kEchoGain[e] * echoScale / 0.38f, kEchoPan[e],
                 brightness * 0.4f, Voice::Lead});
        }
    }

    void composeCues() {
        for (std::size_t i = 0; i < kSectionTimes.size(); ++i) {
            const std::int64_t cue = secondsToSample(kSectionTimes[i]);
            add({cue, 0, seconds(6.0), 0, kImpactGain[i] * 0.55f, 0.0f, kImpactGain[i], Voice::Impact});
            if (kRiserSeconds[i] > 0.0f) {
                const std::int32_t length = seconds(kRiserSeconds[i]);
                add({cue - length, length, seconds(0.06), 0, kRiserGain[i] * 0.5f, 0.0f, 0.0f, Voice::Riser});
            }
        }
    }

    ScoreRandom random_;
    std::uint32_t seedCounter_ = 0;
};

}  // namespace

std::int64_t secondsToSample(double seconds) { return std::llround(seconds * kSampleRate); }

std::int64_t trackSamples() { return secondsToSample(kTrackSeconds); }

int sectionAt(double seconds) {
    int section = 0;
    for (const double cue : kSectionTimes) {
        if (seconds >= cue) ++section;
    }
    return section;
}

Score composeTrack() {
    Composer composer;
    composer.compose();
    return std::move(composer.score);
}

}  // namespace synth
