// The moments of the demo, in seconds of the music and in the order they come, each with
// what happens there: the demo's script, written once. The picture reads these, the music
// generator builds its sections from the ones marked as turns, and `velkarn --cues` prints
// them for the scripts. Only names: every stage keeps its own test of the time (before or
// after, strictly or not, as its rule says).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

// A moment, written in hundredths of a second so that the picture's float and the music's
// double are each the nearest to the same decimal, as the literal would be.
struct Cue {
    std::int32_t hundredths;
    const char* name;  // for --cues and the scripts: lower case, words joined by '-'
    const char* what;
    bool musicTurn = false;  // the music changes section here

    constexpr float seconds() const { return static_cast<float>(hundredths) / 100.0f; }
    constexpr double exactSeconds() const { return hundredths / 100.0; }
    // Every rule compares the demo's float time with the moment itself.
    constexpr operator float() const { return seconds(); }
};

inline constexpr bool kTurn = true;

// The intro.
inline constexpr Cue kIntroBeatsEnd{2450, "intro-beats-end", "the intro images stop advancing on the beat"};
inline constexpr Cue kOverlayBeatsStart{2500, "overlay-beats-start", "the overlay is placed anew on every beat"};
inline constexpr Cue kIntroEnd{2550, "intro-end", "the intro gives way to the particles; the camera turns", kTurn};
// The fluid and its particles.
inline constexpr Cue kTiltStart{2660, "tilt-start", "the camera tilts; the line copies hide until it settles"};
inline constexpr Cue kTwistEnd{2670, "twist-end", "the turn after the intro ends"};
inline constexpr Cue kCameraSettled{4500, "camera-settled", "the tilt and the respawn chance end; the drift begins",
                                    kTurn};
inline constexpr Cue kWrapStart{4550, "wrap-start", "the particles wrap at the edges instead of respawning"};
inline constexpr Cue kWrapEnd{5850, "wrap-end", "the wrap ends; the drift slides the picture, faster", kTurn};
inline constexpr Cue kTremorStart{6400, "tremor-start", "a quarter second of tremor shakes the particles"};
inline constexpr Cue kLayerScrollStart{6410, "layer-scroll-start", "the layer image starts to scroll sideways", kTurn};
inline constexpr Cue kTremorEnd{6425, "tremor-end", "the tremor ends"};
inline constexpr Cue kTremorFaded{6500, "tremor-faded", "the tremor's strength, fading from its start, would be none"};
inline constexpr Cue kLayerScrollEnd{6750, "layer-scroll-end", "the layer image's scroll ends; it stands still again"};
// The blob section.
inline constexpr Cue kBlobSceneStart{9105, "blob-scene-start",
                                     "the soft bodies take the stage; the particles slow down", kTurn};
inline constexpr Cue kObstaclesFlushed{10000, "obstacles-flushed",
                                       "each tick clears the obstacles after the fluid steps"};
inline constexpr Cue kSlideEnd{10100, "slide-end", "the drift's slide ends"};
inline constexpr Cue kBlobBeatsStart{10300, "blob-beats-start", "the blob scene pulses on the beat, its overlay shows"};
inline constexpr Cue kCameraShiftStart{10350, "camera-shift-start", "the blob camera is shifted before its look-at"};
inline constexpr Cue kBlobStringsStart{kBlobSceneStart.hundredths + 1250, "blob-strings-start",
                                       "the strings show between the bodies and to the particles"};
inline constexpr Cue kBlobSnapshotsStart{10360, "blob-snapshots-start", "the glitch redraws the scene's snapshot"};
inline constexpr Cue kSidewaysDrive{10405, "sideways-drive", "the soft bodies are driven sideways, pressed harder",
                                    kTurn};
inline constexpr Cue kCameraSecondKeyframe{10450, "camera-second-keyframe",
                                           "the shift ends; the blob camera takes its second keyframe"};
inline constexpr Cue kCameraKeyframesEnd{10600, "camera-keyframes-end",
                                         "the keyframes end: the camera is left where it is"};
// The wall, the credits and the end.
inline constexpr Cue kWallStart{13000, "wall-start", "the soft bodies leave; the particles stand as a turning wall",
                                kTurn};
inline constexpr Cue kOverlayJump{14000, "overlay-jump", "the overlay jumps aside"};
inline constexpr Cue kSqueezeStart{14230, "squeeze-start", "the wall gives way to one squeezed copy", kTurn};
inline constexpr Cue kCreditsIn{15500, "credits-in", "the credits fade in; the particles stop respawning, squeeze",
                                kTurn};
inline constexpr Cue kLineFadeStart{16500, "line-fade-start", "the line copies lose their vertices"};
inline constexpr Cue kCreditsOut{17500, "credits-out", "the credits fade out; the particles are pulled into the logo",
                                 kTurn};
inline constexpr Cue kObstacleGone{18300, "obstacle-gone", "the pulsing square is cleared from the fluid, once", kTurn};
inline constexpr Cue kDampingStart{19000, "damping-start", "the particles are damped to rest on the logo"};
inline constexpr Cue kEndLogoIn{20000, "end-logo-in", "the end logo fades in; the music fades out", kTurn};
inline constexpr Cue kEndLogoOut{21700, "end-logo-out", "the end logo fades out", kTurn};
inline constexpr Cue kDemoEndTime{22500, "demo-end", "the run ends; the music is silent"};

// Every moment above, in the order of the demo.
inline constexpr std::array kCues = {
    kIntroBeatsEnd,  kOverlayBeatsStart,    kIntroEnd,           kTiltStart,
    kTwistEnd,       kCameraSettled,        kWrapStart,          kWrapEnd,
    kTremorStart,    kLayerScrollStart,     kTremorEnd,          kTremorFaded,
    kLayerScrollEnd, kBlobSceneStart,       kObstaclesFlushed,   kSlideEnd,
    kBlobBeatsStart, kCameraShiftStart,     kBlobStringsStart,   kBlobSnapshotsStart,
    kSidewaysDrive,  kCameraSecondKeyframe, kCameraKeyframesEnd, kWallStart,
    kOverlayJump,    kSqueezeStart,         kCreditsIn,          kLineFadeStart,
    kCreditsOut,     kObstacleGone,         kDampingStart,       kEndLogoIn,
    kEndLogoOut,     kDemoEndTime,
};

// The turns of the music, in order: where it changes section.
inline constexpr std::size_t kMusicTurnCount = [] {
    std::size_t count = 0;
    for (const Cue& cue : kCues) count += cue.musicTurn ? 1 : 0;
    return count;
}();
inline constexpr std::array<Cue, kMusicTurnCount> kMusicTurns = [] {
    std::array<Cue, kMusicTurnCount> turns{};
    std::size_t next = 0;
    for (const Cue& cue : kCues) {
        if (cue.musicTurn) turns[next++] = cue;
    }
    return turns;
}();

// Hundredths of a second written as the README and --cues write them: "91.05", "45", "58.5".
std::string hundredthsText(std::int32_t hundredths);
// The table as `velkarn --cues` prints it: a line per cue, "SECONDS NAME turn|- WHAT", in
// order, after a comment line (starting with '#') naming the columns, and a last comment
// line with the beat.
std::string cueTableText();
