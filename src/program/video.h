// Offline rendering into a video (--video): the fixed-step frames go as raw RGBA through
// a pipe to the ffmpeg program, which encodes H.264 and muxes the music cut to the same
// stretch of time. No frame touches the disk on the way.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/cue_times.h"

// What the video is made for. Each keeps the single-pixel particles apart; they differ
// in what else matters: size (quality), nothing lost (archive), a video site's own
// re-encoding (web), a rate a party's rules set (compo).
enum class VideoPreset { Quality, Archive, Web, Compo };

// The preset of a command-line name ("quality", "archive", "web", "compo"), if any.
std::optional<VideoPreset> videoPresetNamed(std::string_view name);

struct VideoSettings {
    std::string file;                // empty: no video
    std::string encoder = "ffmpeg";  // program name, looked up on the PATH
    std::string musicFile;           // empty: a video without sound
    double startSeconds = 0.0;
    double endSeconds = kDemoEndTime;
    int fps = 60;
    VideoPreset preset = VideoPreset::Quality;
};

// The compo preset's video bit rate in kbit/s: 8000 at 1920x1080, scaled with the
// pixel count, never below 1000.
int videoBitRateKbits(int width, int height);

// yuv420p needs even sizes: odd ones are padded by one black row or column.
struct PictureSize {
    int width = 0;
    int height = 0;
};
PictureSize evenPictureSize(int width, int height);

// The ffmpeg command line (argv[0] first) for frames of width x height, bottom row
// first, written to outputFile.
std::vector<std::string> videoEncoderArguments(const VideoSettings& settings, int width, int height,
                                               const std::string& outputFile);

// The progress line (without the leading carriage return), e.g.
// "video: frame 120/600  t 42.00 s  12.5 MB  35.2 fps  0:13 left"; the size written
// so far is left out when it is negative (not known).
std::string formatVideoProgress(std::int64_t done, std::int64_t total, float demoTime, double framesPerSecond,
                                std::int64_t bytesWritten);

// True when name (no slash) is an executable file in one of the PATH directories, or
// name with a slash is executable itself.
bool programOnPath(const std::string& name, const char* pathVariable);
