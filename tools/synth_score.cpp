// The composition: D minor, 74.07 BPM in 5/4, sections turning on the demo's cues.
// Every part is written on the sixteenth-note grid; only the impacts and the ends of the
// build-ups sit on the cue times themselves.
#include <algorithm>
#include <cmath>
#include <span>

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
    float range(float lo, float hi) { return lo + (hi - lo) * static_cast<float>(next() >> 8) * (1.0f / 16777216.0f); }
};

struct Chord {
    float root;    // bass note
    float pad[4];  // pad voicing
    float arp[4];  // arpeggio tones
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
// Four-bar progressions, chosen per section. A section's loop starts at its first bar
// line; the part of a bar between the turn and that line plays the loop's last chord, a
// pickup into the first.
constexpr ChordName kProgressions[][4] = {
    {Dm, Bbmaj7, Gm7, A},  // the theme
    {Bbmaj7, Gm7, Dm, A},  // breakdown and outro
    {Dm, Dm, Bbmaj7, C},   // the driving wall and the build before the theme
    {Dm, F, C, Gm7},       // credits
    {Dm, Dm, Dm, Dm},      // the last chord
    {Bbmaj7, C, Dm, A},    // the first rise
    {Gm7, Bbmaj7, C, A},   // the riff over the wall
};

// The melodies, four bars (80 sixteenths) each.
enum Phrase { Rest, ThemeA, ThemeB, ThemeAVaried, Riff };

// What plays in one section. Levels are 0 for silent parts; patterns index the tables
// in the functions below. The lead plays its two phrases in turn, each lifted by its
// own number of semitones; `doubled` adds the octave above.
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
    Phrase phrases[2];
    int lifts[2];
    bool doubled;
    float leadBrightness;
    float duck;
    int progression;
};

// Indexed by sectionAt(): the intro, then one row per turn of the music (named by its cue).
// One row per section, its columns aligned by hand.
// clang-format off
constexpr Arrangement kArrangement[] = {
    // kick           snare      hats        bass               pluck      pad           lead                                                  duck   prog
    {0.0f, 0, 0.0f,   0.0f, 0,   0.3f, 4,    0.5f, 1, 0.0f,     0.0f, 0,   0.7f, 0.2f,   0.0f, {Rest, Rest}, {0, 0}, false, 0.0f,             0.0f,  0},  // intro
    {1.0f, 1, 0.2f,   0.0f, 0,   0.5f, 1,    0.8f, 2, 0.2f,     0.6f, 1,   0.8f, 0.3f,   0.0f, {Rest, Rest}, {0, 0}, false, 0.0f,             0.5f,  0},  // intro-end: the beat
    {1.0f, 1, 0.2f,   0.6f, 1,   0.7f, 3,    0.85f, 4, 0.25f,   0.7f, 2,   0.7f, 0.5f,   0.8f, {ThemeB, ThemeA}, {0, 0}, false, 0.4f,     0.5f,  5},  // camera-settled: the melody
    {1.0f, 5, 0.3f,   0.0f, 0,   0.5f, 1,    0.7f, 1, 0.3f,     0.0f, 0,   0.0f, 0.7f,   0.9f, {Riff, Riff}, {0, 0}, false, 0.8f,             0.3f,  2},  // wrap-end: the build
    {1.0f, 2, 0.4f,   0.8f, 2,   0.7f, 3,    0.9f, 4, 0.35f,    0.5f, 1,   0.7f, 0.45f,  1.0f, {ThemeA, ThemeB}, {0, 0}, false, 0.45f,        0.55f, 0},  // layer-scroll-start: the theme
    {0.0f, 0, 0.0f,   0.0f, 0,   0.0f, 0,    0.5f, 1, 0.0f,     0.5f, 1,   0.7f, 0.3f,   0.5f, {ThemeB, ThemeB}, {12, 12}, false, 0.15f,      0.0f,  1},  // blob-scene-start: the blob
    {1.0f, 2, 0.6f,   0.9f, 2,   0.55f, 2,   0.75f, 4, 0.6f,    0.5f, 1,   0.55f, 0.5f,  1.0f, {ThemeA, ThemeB}, {12, 0}, false, 0.6f,        0.65f, 0},  // sideways-drive: the drop
    {1.0f, 3, 0.5f,   0.9f, 2,   0.9f, 3,    0.8f, 3, 0.5f,     0.7f, 2,   0.8f, 0.8f,   1.0f, {ThemeAVaried, ThemeA}, {0, 12}, true, 0.9f,   0.6f,  2},  // wall-start: the wall
    {1.0f, 1, 0.5f,   0.8f, 1,   0.7f, 2,    0.8f, 4, 0.5f,     0.5f, 1,   0.4f, 0.6f,   0.9f, {Riff, Riff}, {0, 0}, false, 0.55f,            0.6f,  6},  // squeeze-start: the riff
    {0.7f, 4, 0.0f,   0.5f, 3,   0.4f, 1,    0.6f, 1, 0.0f,     0.6f, 1,   1.0f, 0.35f,  0.8f, {ThemeB, ThemeA}, {0, 0}, false, 0.3f,         0.3f,  3},  // credits-in: the credits
    {0.5f, 5, 0.0f,   0.0f, 0,   0.35f, 4,   0.4f, 1, 0.0f,     0.5f, 2,   0.6f, 0.25f,  0.0f, {Rest, Rest}, {0, 0}, false, 0.0f,             0.2f,  3},  // credits-out: the hush
    {1.0f, 1, 0.3f,   0.7f, 1,   0.6f, 2,    0.8f, 2, 0.3f,     0.6f, 2,   0.8f, 0.45f,  1.0f, {ThemeAVaried, ThemeB}, {0, 12}, false, 0.5f,  0.5f,  0},  // obstacle-gone: the return
    {0.6f, 4, 0.0f,   0.35f, 3,  0.35f, 1,   0.6f, 1, 0.0f,     0.5f, 1,   1.0f, 0.3f,   0.8f, {ThemeB, ThemeA}, {0, 0}, false, 0.25f,        0.3f,  1},  // end-logo-in: the outro
    {0.0f, 0, 0.0f,   0.0f, 0,   0.0f, 0,    0.4f, 1, 0.0f,     0.0f, 0,   1.0f, 0.2f,   0.0f, {Rest, Rest}, {0, 0}, false, 0.0f,             0.0f,  4},  // end-logo-out: the last chord
};
// clang-format on
static_assert(std::size(kArrangement) == kSectionTimes.size() + 1);

// At each turn: the hit's strength, the build-up (seconds, level) that lands on it, the
// snare fill (sixteenths) that leads into it, and how long the groove (kick, hats, bass and
// pluck) rests before it, so that the arrival lands harder than the build-up.
struct Turn {
    float impact;
    float riserSeconds;
    float riser;
    int fillSteps;
    double grooveRests;
};
constexpr double kTwoBars = 2 * kBarSeconds;
constexpr double kFourBeats = 4 * kBeatSeconds;
constexpr Turn kTurns[] = {
    {0.8f, 6.0f, 0.35f, 0, 0.0},                 // intro-end
    {0.7f, kBarSeconds, 0.25f, 4, 0.0},          // camera-settled
    {0.7f, kFourBeats, 0.25f, 4, 0.0},           // wrap-end
    {1.0f, 5.6f, 0.35f, 24, kBeatSeconds},       // layer-scroll-start
    {0.9f, kBarSeconds, 0.3f, 0, 0.0},           // blob-scene-start
    {1.0f, 6.5f, 0.4f, 12, kBeatSeconds},        // sideways-drive
    {1.2f, kTwoBars, 0.2f, 8, kBarSeconds},      // wall-start
    {0.7f, kFourBeats, 0.25f, 8, 0.0},           // squeeze-start
    {0.6f, kBarSeconds, 0.2f, 4, 0.0},           // credits-in
    {0.5f, 0.0f, 0.0f, 0, 0.0},                  // credits-out
    {0.9f, kBarSeconds, 0.3f, 8, kBeatSeconds},  // obstacle-gone
    {0.6f, kBarSeconds, 0.2f, 4, 0.0},           // end-logo-in
    {0.5f, 0.0f, 0.0f, 0, 0.0},                  // end-logo-out
};
static_assert(std::size(kTurns) == kSectionTimes.size());

// A melody note: start step, length in steps, pitch.
struct MelodyNote {
    int step, length;
    float pitch;
};
// The theme, and the answer that climbs where it falls.
constexpr MelodyNote kThemeA[] = {
    {0, 4, 69},  {4, 2, 74},  {6, 6, 77},   {12, 4, 76}, {16, 4, 74},  // over Dm
    {20, 4, 74}, {24, 2, 72}, {26, 6, 74},  {32, 4, 77}, {36, 4, 69},  // over Bb
    {40, 6, 79}, {46, 2, 77}, {48, 4, 74},  {52, 4, 70}, {56, 4, 74},  // over Gm
    {60, 6, 76}, {66, 4, 73}, {70, 10, 69},                            // over A
};
constexpr MelodyNote kThemeB[] = {
    {0, 2, 81},  {2, 2, 77},  {4, 4, 74},  {8, 2, 77},  {10, 2, 79}, {12, 8, 81}, {20, 2, 82}, {22, 2, 81},
    {24, 4, 77}, {28, 4, 74}, {32, 8, 77}, {40, 2, 79}, {42, 2, 77}, {44, 4, 74}, {48, 4, 70}, {52, 4, 74},
    {56, 4, 79}, {60, 4, 76}, {64, 2, 77}, {66, 2, 76}, {68, 4, 73}, {72, 8, 69},
};
// The theme in syncopated steps, climbing to the top D and coming home to D.
constexpr MelodyNote kThemeAVaried[] = {
    {0, 2, 69},  {2, 2, 74},  {4, 3, 77},  {7, 5, 81},  {12, 4, 79}, {16, 4, 77}, {20, 3, 74},
    {23, 3, 77}, {26, 6, 82}, {32, 4, 81}, {36, 4, 77}, {40, 3, 79}, {43, 3, 82}, {46, 6, 86},
    {52, 4, 82}, {56, 4, 79}, {60, 4, 81}, {64, 4, 79}, {68, 4, 76}, {72, 8, 74},
};
// The driving riff, one bar, as indices into the chord's arpeggio tones.
constexpr int kRiffSteps[] = {0, 2, 3, 5, 6, 8, 10, 11, 13, 14, 16, 18};
constexpr int kRiffTones[] = {0, 1, 2, 1, 3, 2, 0, 2, 3, 2, 1, 0};

// Each voice's level at full strength: the kick leads the low end, the tune the mids and highs.
constexpr float kKickGain = 0.55f;
constexpr float kSnareGain = 0.7f;
constexpr float kHatGain = 0.7f;
constexpr float kBassGain = 0.32f;
constexpr float kPadGain = 0.11f;
constexpr float kPluckGain = 0.6f;
constexpr float kLeadGain = 0.3f;

// The bass keeps above 55 Hz, where it is heard as a note, not felt as the kick.
float bassRoot(const Chord& chord) { return chord.root < 33.0f ? chord.root + 12.0f : chord.root; }

constexpr float kEchoGain[] = {0.38f, 0.15f};
constexpr float kEchoPan[] = {-0.55f, 0.55f};
constexpr int kEchoSteps = 3;  // dotted eighth

// Whether t falls in the rest of the groove before a turn.
bool grooveRests(double t) {
    for (std::size_t i = 0; i < kSectionTimes.size(); ++i) {
        const double before = kSectionTimes[i] - t;
        if (before > 0.0 && before <= kTurns[i].grooveRests) return true;
    }
    return false;
}

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
        const int section = sectionAt(t);
        const Arrangement& arr = kArrangement[section];
        const int inBar = static_cast<int>(step % kStepsPerBar);
        const std::int64_t bar = step / kStepsPerBar;
        // Bars counted from the section's first bar line; before it, the pickup chord.
        const std::int64_t sectionBar = bar - sectionFirstBar(section);
        const Chord& chord = kChords[kProgressions[arr.progression][sectionBar < 0 ? 3 : sectionBar % 4]];
        const bool turnHere = section > 0 && sectionAt(sampleSeconds(stepSample(step - 1))) != section;

        composeDrums(step, inBar, sectionBar, t, arr);
        if ((inBar == 0 || turnHere) && arr.pad > 0.0f) composePad(step, section, chord, arr);
        composeBass(step, inBar, t, chord, arr);
        composePluck(step, inBar, t, chord, arr);
        composeLead(step, sectionBar * kStepsPerBar + inBar, chord, arr);
    }

    void composeDrums(std::int64_t step, int inBar, std::int64_t sectionBar, double t, const Arrangement& arr) {
        const std::int64_t start = stepSample(step);
        // The last bar of each loop turns over with a snare run on its last beat, the last
        // of every second loop with a longer one, so the groove never plays one bar ten times.
        if (arr.snare > 0.0f && sectionBar >= 0 && sectionBar % 4 == 3) {
            const int runFrom = sectionBar % 8 == 7 ? 12 : 16;
            if (inBar >= runFrom && (inBar % 2 == 0 || inBar >= 16)) {
                const float rise = static_cast<float>(inBar - runFrom + 1) / static_cast<float>(kStepsPerBar - runFrom);
                const float gain = arr.snare * kSnareGain * (0.25f + 0.35f * rise);
                add({start, 0, seconds(0.6), 0, gain, inBar % 2 == 0 ? -0.2f : 0.2f, 0.5f, Voice::Snare});
            }
        }
        const bool resting = grooveRests(t);
        for (std::size_t i = 0; i < kSectionTimes.size(); ++i) {
            const double before = kSectionTimes[i] - t;
            if (before <= 0.0) continue;
            const double fill = kTurns[i].fillSteps * kStepSeconds;
            if (before <= fill + 1e-9) {
                // A long fill starts in eighths and doubles for its last half.
                const int stepsLeft = static_cast<int>(std::lround(before / kStepSeconds));
                if (kTurns[i].fillSteps > 8 && stepsLeft > kTurns[i].fillSteps / 2 && step % 2 == 1) continue;
                const float progress = static_cast<float>(1.0 - before / fill);
                add({start, 0, seconds(0.8), 0, (0.15f + 0.35f * progress) * kSnareGain / 0.42f,
                     (step % 2 == 0) ? -0.15f : 0.15f, 0.4f + 0.4f * progress, Voice::Snare});
            }
        }
        if (arr.kick > 0.0f && !resting) {
            float level = 0.0f;
            switch (arr.kickPattern) {
                case 1: level = inBar % 4 == 0 ? 1.0f : 0.0f; break;
                case 2: level = inBar % 4 == 0 ? 1.0f : (inBar == 10 || inBar == 18) ? 0.55f : 0.0f; break;
                case 3: level = inBar % 4 == 0 ? 1.0f : inBar == 14 ? 0.6f : 0.0f; break;
                case 4: level = (inBar == 0 || inBar == 8 || inBar == 12) ? 1.0f : 0.0f; break;
                case 5: level = inBar == 0 ? 1.0f : 0.0f; break;
                default: break;
            }
            if (level > 0.0f) addKick(start, arr.kick * level * kKickGain, arr.kickDrive, arr.duck * level);
        }

        // The intro lets the beat in by halves: sparse hats after two bars, a rim after four.
        int hatPattern = arr.hatPattern;
        float hats = arr.hats;
        int snarePattern = arr.snarePattern;
        float snare = arr.snare;
        if (sectionAt(t) == 0) {
            if (t < 2 * kBarSeconds) hats = 0.0f;
            if (t >= 4 * kBarSeconds) {
                hatPattern = 1;
                snarePattern = 3;
                snare = 0.35f;
            }
        } else if (sectionAt(t) == 5 && t >= 24 * kBarSeconds) {
            hatPattern = 1;
            hats = 0.3f;
        }

        if (snare > 0.0f) {
            float level = 0.0f;
            float tone = 0.8f;
            switch (snarePattern) {
                case 1: level = (inBar == 8 || inBar == 16) ? 1.0f : 0.0f; break;
                case 2:
                    level = (inBar == 8 || inBar == 16) ? 1.0f : inBar == 19 ? 0.3f : inBar == 6 ? 0.2f : 0.0f;
                    break;
                case 3:
                    level = inBar == 16 ? 1.0f : 0.0f;
                    tone = 0.1f;
                    break;
                default: break;
            }
            if (level > 0.0f) {
                add({start, 0, seconds(1.0), 0, snare * level * kSnareGain * random_.range(0.94f, 1.06f), -0.05f, tone,
                     Voice::Snare});
            }
        }

        if (hats > 0.0f && !resting) {
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
                     hats * level * kHatGain * random_.range(0.9f, 1.1f), open > 0.0f ? -0.25f : 0.3f, open,
                     Voice::Hat});
            }
        }
    }

    // Kicks come in step order, so the duck list stays ascending.
    void addKick(std::int64_t start, float gain, float drive, float duckDepth) {
        add({start, 0, seconds(0.6), 0, gain, 0.0f, drive, Voice::Kick});
        score.kickStarts.push_back(start);
        score.kickDepths.push_back(duckDepth);
    }

    // A chord from a bar line or a turn until the next of either.
    void composePad(std::int64_t step, int section, const Chord& chord, const Arrangement& arr) {
        constexpr float kSpread[4] = {-0.55f, -0.18f, 0.18f, 0.55f};
        const std::int64_t start = stepSample(step);
        std::int64_t end = stepSample((step / kStepsPerBar + 1) * kStepsPerBar);
        if (section < static_cast<int>(kSectionTimes.size())) {
            end = std::min(end, secondsToSample(kSectionTimes[static_cast<std::size_t>(section)]));
        }
        const auto gate = static_cast<std::int32_t>(end - start);
        for (int v = 0; v < 4; ++v) {
            add({start, gate, seconds(5.0), chord.pad[v], arr.pad * kPadGain, kSpread[v], arr.padBrightness,
                 Voice::Pad});
        }
    }

    void composeBass(std::int64_t step, int inBar, double t, const Chord& chord, const Arrangement& arr) {
        if (arr.bass <= 0.0f || grooveRests(t)) return;
        // The intro's bass only enters after its first three bars.
        if (sectionAt(t) == 0 && t < 3 * kBarSeconds) return;
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
        add({start, stepLength(length), seconds(0.35), bassRoot(chord) + offset, arr.bass * kBassGain, 0.0f,
             arr.bassDrive, Voice::Bass});
    }

    void composePluck(std::int64_t step, int inBar, double t, const Chord& chord, const Arrangement& arr) {
        if (arr.pluck <= 0.0f || grooveRests(t)) return;
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
        add({start, stepLength(0.9), seconds(0.7), chord.arp[tone], arr.pluck * kPluckGain * accent,
             (step % 2 == 0) ? -0.35f : 0.35f, sweep, Voice::Pluck});
    }

    // phraseStep counts sixteenths from the section's first bar line. Before it, the lead
    // plays the end of its second phrase as a pickup into the first.
    void composeLead(std::int64_t step, std::int64_t phraseStep, const Chord& chord, const Arrangement& arr) {
        if (arr.lead <= 0.0f) return;
        constexpr std::int64_t kTwoPhrases = 8 * kStepsPerBar;
        phraseStep = (phraseStep % kTwoPhrases + kTwoPhrases) % kTwoPhrases;
        const std::int64_t start = stepSample(step);
        const auto which = static_cast<std::size_t>((phraseStep / (4 * kStepsPerBar)) % 2);
        const Phrase phrase = arr.phrases[which];
        const auto lift = static_cast<float>(arr.lifts[which]);
        const int inPhrase = static_cast<int>(phraseStep % (4 * kStepsPerBar));
        const auto play = [&](float pitch, double steps, float gain, float echo) {
            addLead(step, start, steps, pitch, gain, arr.leadBrightness, echo);
            if (arr.doubled) addLead(step, start, steps, pitch + 12.0f, gain * 0.55f, arr.leadBrightness, echo);
        };
        if (phrase == Riff) {
            const int inBar = inPhrase % kStepsPerBar;
            for (std::size_t i = 0; i < std::size(kRiffSteps); ++i) {
                if (kRiffSteps[i] != inBar) continue;
                // Every other bar lifts the riff by an octave.
                const float pitch = chord.arp[kRiffTones[i]] + lift +
                                    ((inPhrase / kStepsPerBar) % 2 == 1 ? 12.0f : 0.0f);
                play(pitch, 1.4, arr.lead * kLeadGain * 0.75f, 0.2f);
            }
            return;
        }
        std::span<const MelodyNote> notes;
        if (phrase == ThemeA) notes = kThemeA;
        if (phrase == ThemeB) notes = kThemeB;
        if (phrase == ThemeAVaried) notes = kThemeAVaried;
        for (const MelodyNote& m : notes) {
            if (m.step != inPhrase) continue;
            float pitch = m.pitch + lift;
            // The leading C sharp belongs to A; over other chords it resolves to D.
            if (static_cast<int>(m.pitch) % 12 == 1 && chord.root != kChords[A].root) pitch += 1.0f;
            play(pitch, m.length - 0.4, arr.lead * kLeadGain, 0.38f);
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
            const Turn& turn = kTurns[i];
            add({cue, 0, seconds(6.0), 0, turn.impact * 0.55f, 0.0f, std::min(turn.impact, 1.0f), Voice::Impact});
            if (turn.riserSeconds > 0.0f) {
                const std::int32_t length = seconds(turn.riserSeconds);
                add({cue - length, length, seconds(0.06), 0, turn.riser * 0.5f, 0.0f, 0.0f, Voice::Riser});
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

std::int64_t sectionFirstBar(int section) {
    if (section <= 0) return 0;
    const auto index = static_cast<std::size_t>(std::min<int>(section, static_cast<int>(kSectionTimes.size())) - 1);
    return (secondsToSample(kSectionTimes[index]) + kBarSamples - 1) / kBarSamples;
}

Score composeTrack() {
    Composer composer;
    composer.compose();
    return std::move(composer.score);
}

}  // namespace synth
