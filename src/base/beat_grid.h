// The music's beat grid: the lengths of a beat and a bar, and which beat or bar a moment
// of the demo falls in. Whatever moves with the music counts its beats here, the music
// generator included.
#pragma once

#include <cstdint>

// A beat in hundredths of a second (0.81 s), written once: the generator's beat in samples
// and the picture's float length both come from it.
inline constexpr std::int32_t kBeatHundredths = 81;
inline constexpr int kBeatsPerBar = 5;

inline constexpr float kBeatLength = static_cast<float>(kBeatHundredths) / 100.0f;                // seconds
inline constexpr float kBarLength = static_cast<float>(kBeatHundredths * kBeatsPerBar) / 100.0f;  // seconds

// floor(time / length) as an int, held inside the int range (NaN gives INT_MIN).
int periodIndex(float time, float length);

// The beat and the bar that t falls in, counted from 0 s.
inline int beatIndexAt(float t) { return periodIndex(t, kBeatLength); }
inline int barIndexAt(float t) { return periodIndex(t, kBarLength); }
