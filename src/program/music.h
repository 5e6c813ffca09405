// The music track and the clock the demo reads from it. In capture runs the clock is a
// fixed step per frame instead, and the track is not heard.
#pragma once

#include <cstdint>

inline constexpr const char* kMusicFileName = "Orvalin-Velkarn.mp3";

// Initialises the output ("Bass Init" box when the device fails) and opens the track
// ("file?" box when it cannot be opened). Without a track the clock is the silent
// output's wall clock, so the demo still runs to its end.
void initMusic();
// Starts playback (after the --start seek).
void playMusic();
// Playback position in seconds (or the fixed-step time in capture runs).
float musicTime();
// Moves playback to x / 11 of the track's length.
void seekMusic(float x);
// x / 11 of a length in bytes, truncated toward zero.
std::uint64_t seekTargetBytes(std::uint64_t lengthBytes, float x);

// Fixed-step clock of capture runs: frame i shows start + i / fps.
void useFixedStepClock(double startSeconds, int framesPerSecond);
bool fixedStepClockActive();
void advanceFixedStepClock();
std::int64_t fixedStepFrameIndex();
