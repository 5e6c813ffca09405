// The audio layer: what the demo needs from a music library. One track, played either
// through the sound device or through a silent output that advances by a clock.
// Positions and lengths are in bytes of 44.1 kHz 16-bit stereo PCM.
#pragma once

#include <cstdint>

// Opens the sound device (SDL audio). False when no device can be opened; the layer
// then plays silently.
bool audioInitDevice();
// Why the device could not be opened (SDL's words), after audioInitDevice failed.
const char* audioDeviceError();
// Opens the track by name and scans its exact length. False when it cannot be opened;
// the layer then keeps a silent clock with no length.
bool audioOpenStream(const char* fileName);
bool audioHasStream();
// Starts playback (the device, or the silent clock).
void audioPlay();
// What is heard now: the decoded position minus what the device still holds.
std::uint64_t audioPositionBytes();
std::uint64_t audioLengthBytes();
double audioBytesToSeconds(std::uint64_t bytes);
std::uint64_t audioSecondsToBytes(double seconds);
// Moves playback to a byte position (rounded down to a whole sample frame, clamped to
// the length when there is a track).
void audioSetPositionBytes(std::uint64_t bytes);
// Closes device and track; the layer starts over (used by tests).
void audioShutdown();
