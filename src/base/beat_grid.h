// The music's beat grid: the lengths of a beat and a bar, and which beat or bar a moment
// of the demo falls in. Whatever moves with the music counts its beats here.
#pragma once

inline constexpr float kBeatLength = 0.81f;  // seconds
inline constexpr float kBarLength = 4.05f;   // seconds, five beats

// floor(time / length) as an int, held inside the int range (NaN gives INT_MIN).
int periodIndex(float time, float length);

// The beat and the bar that t falls in, counted from 0 s.
inline int beatIndexAt(float t) { return periodIndex(t, kBeatLength); }
inline int barIndexAt(float t) { return periodIndex(t, kBarLength); }
