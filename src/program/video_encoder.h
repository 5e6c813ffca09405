// The encoder process of a --video run (one per run), fed the pictures of the frames.
#pragma once

#include <cstdint>
#include <span>

// True once --video asked for a video and until it is finished or abandoned.
bool videoRequested();
bool videoStarted();
// Starts the encoder for pictures of the given size. False (with a message) when it
// cannot be started.
bool beginVideo(int width, int height);
// Sends one picture of width x height RGBA, bottom row first, and shows the progress.
// False (with a message) when the encoder no longer takes frames.
bool writeVideoFrame(std::span<const std::uint8_t> rgbaBottomUp, float demoTime);
// All frames sent.
bool videoComplete();
// Ends the encoder. A complete video whose encoder succeeded is moved to its name and
// reported; otherwise the partial file is removed and false is returned (with a
// message). Does nothing and returns true when no video was requested.
bool finishVideo();
// Forgets a finished or abandoned encoder so another video can begin (tests).
void resetVideoEncoder();
