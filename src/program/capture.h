// Offline rendering: every frame at a fixed step of demo time, saved as a PNG file.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

// Set by the idle callback when a new fixed-step frame is due; the display callback
// captures only such frames, so a redraw by the window system is not saved twice.
extern bool captureFramePending;

// Frames of an offline run from start to end at fps: frame i shows start + i / fps, and
// the last one is the last at or before end, compared in float as the idle callback
// compares the clock with --end. At least one frame. A video has exactly these frames.
std::int64_t offlineFrameCount(double startSeconds, double endSeconds, int fps);

// "DIR/frame-000042.png"
std::string captureFileName(const std::string& directory, std::int64_t frameIndex);
// Bottom-up RGBA rows as the bytes of a top-down PNG file; nothing for a bad size.
std::optional<std::string> encodePng(std::span<const std::uint8_t> rgbaBottomUp, int width, int height);
// Saves bottom-up RGBA rows as a top-down PNG, whole or not at all (a hidden file beside it,
// renamed into place; removed by a stop). False with the reason when it cannot be written.
bool savePng(const std::string& fileName, std::span<const std::uint8_t> rgbaBottomUp, int width, int height,
             std::string* reason);

// Reads the picture the final copy wrote, when a frame is pending, and saves it as a
// PNG file or sends it to the video; the run ends after the video's last frame.
void captureFinishedFrame();
