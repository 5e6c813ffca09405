// The pure parts of offline runs: frame counts, the frame-time summary, the encoder's
// command line.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "base/frame_stats.h"
#include "program/capture.h"
#include "program/video.h"

// One --end rule for captures and videos: the last frame at or before the end.
TEST(VideoFrames, CountEndsWithTheLastFrameAtOrBeforeTheEnd) {
    for (const auto& [start, end, fps, frames] : std::initializer_list<std::tuple<double, double, int, std::int64_t>>{
             {60.0, 62.0, 5, 11},
             {0.0, 225.0, 60, 13501},
             {0.0, 0.15, 10, 2},
             {0.0, 1.0, 3, 4},
             {0.1, 0.3, 10, 3},  // 0.1 + 0.2 is above 0.3 in double, not float
             {50.0, 50.0, 30, 1},
             {50.0, 40.0, 30, 1},
             {0.0, 10.0, 0, 1}}) {  // never fewer than one frame
        EXPECT_EQ(offlineFrameCount(start, end, fps), frames) << start << ".." << end << " at " << fps;
    }
}

TEST(VideoFrames, StatisticsUseNearestRankPercentiles) {
    std::vector<FrameSample> samples(20);
    for (std::size_t i = 0; i < samples.size(); ++i) samples[i].frameMs = static_cast<double>(20 - i);
    std::ostringstream report;
    writeStatsReport(report, summarizeFrames(samples));
    EXPECT_TRUE(
        report.str().starts_with("frames: 20\nframe time (ms): mean 10.50, median 10.00, 95th percentile "
                                 "19.00, 99th percentile 20.00, longest 20.00\n"))
        << report.str();
}

TEST(VideoEncoderCommand, MusicIsCutToTheFrames) {
    VideoSettings settings;
    settings.musicFile = "Orvalin-Velkarn.mp3";
    settings.startSeconds = 40.0;
    settings.endSeconds = 42.0;
    settings.fps = 10;
    std::vector<std::string> args = videoEncoderArguments(settings, 321, 181, "clip.mp4");
    const auto after = [&](const char* word, int skip = 0) {
        auto it = std::find(args.begin(), args.end(), word);
        while (skip-- > 0 && it != args.end()) it = std::find(it + 1, args.end(), word);
        return it == args.end() || it + 1 == args.end() ? "(none)" : *(it + 1);
    };
    // -ss and -t before the music input cut the input; the output is cut to the frames too.
    EXPECT_EQ(after("-ss") + " " + after("-t") + " " + after("-i", 1) + " " + after("-t", 1),
              "40.000000 2.100000 Orvalin-Velkarn.mp3 2.100000");
    settings.musicFile.clear();
    args = videoEncoderArguments(settings, 320, 180, "clip.mp4");
    EXPECT_EQ(after("-vf") + after("-ss") + after("-c:a") + after("-map") + after("-i", 1),
              "vflip(none)(none)(none)(none)");
}

TEST(VideoEncoderCommand, EachPresetChoosesItsQualityAndSoundRate) {
    struct Case {
        VideoPreset preset;
        int width, height;
        const char* crf;     // "(none)": encoded to a bit rate instead
        const char* rate;    // -b:v
        const char* pixels;  // -pix_fmt
        const char* filter;  // -vf
        const char* sound;   // -b:a
    };
    const Case cases[] = {
        {VideoPreset::Quality, 1920, 1080, "18", "(none)", "yuv420p", "vflip", "256k"},
        {VideoPreset::Quality, 321, 181, "18", "(none)", "yuv420p", "vflip,pad=322:182:0:0:black", "256k"},
        {VideoPreset::Archive, 1920, 1080, "6", "(none)", "yuv444p", "vflip", "320k"},
        {VideoPreset::Web, 1920, 1080, "18", "(none)", "yuv420p", "vflip,scale=iw*2:ih*2:flags=neighbor", "320k"},
        {VideoPreset::Web, 321, 181, "18", "(none)", "yuv420p",
         "vflip,pad=322:182:0:0:black,scale=iw*2:ih*2:flags=neighbor", "320k"},
        {VideoPreset::Compo, 1920, 1080, "(none)", "8000k", "yuv420p", "vflip", "192k"},
        {VideoPreset::Compo, 3840, 2160, "(none)", "32000k", "yuv420p", "vflip", "192k"},
        {VideoPreset::Compo, 320, 180, "(none)", "1000k", "yuv420p", "vflip", "192k"},
    };
    for (const Case& c : cases) {
        VideoSettings settings;
        settings.musicFile = "Orvalin-Velkarn.mp3";
        settings.preset = c.preset;
        const std::vector<std::string> args = videoEncoderArguments(settings, c.width, c.height, "clip.mp4");
        const auto after = [&](const char* word) {
            const auto it = std::find(args.begin(), args.end(), word);
            return it == args.end() || it + 1 == args.end() ? std::string("(none)") : *(it + 1);
        };
        SCOPED_TRACE(static_cast<int>(c.preset));
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        EXPECT_EQ(after("-c:v"), "libx264");
        EXPECT_EQ(after("-crf"), c.crf);
        EXPECT_EQ(after("-b:v"), c.rate);
        EXPECT_EQ(after("-pix_fmt"), c.pixels);
        EXPECT_EQ(after("-vf"), c.filter);
        EXPECT_EQ(after("-c:a"), "aac");
        EXPECT_EQ(after("-b:a"), c.sound);
        EXPECT_EQ(args.back(), "clip.mp4");
    }
}

TEST(VideoEncoderCommand, PresetsAreNamedOnTheCommandLine) {
    for (const auto& [name, preset] :
         std::initializer_list<std::pair<const char*, std::optional<VideoPreset>>>{{"quality", VideoPreset::Quality},
                                                                                   {"archive", VideoPreset::Archive},
                                                                                   {"web", VideoPreset::Web},
                                                                                   {"compo", VideoPreset::Compo},
                                                                                   {"", std::nullopt},
                                                                                   {"Web", std::nullopt},
                                                                                   {"lossless", std::nullopt}}) {
        EXPECT_EQ(videoPresetNamed(name), preset) << name;
    }
}

TEST(VideoProgress, TheLineShowsTheSizeWrittenSoFar) {
    for (const auto& [done, total, time, fps, bytes, line] :
         std::initializer_list<std::tuple<std::int64_t, std::int64_t, float, double, std::int64_t, const char*>>{
             {120, 600, 42.0f, 35.2, 12'500'000, "video: frame 120/600  t 42.00 s  12.5 MB  35.2 fps  0:14 left"},
             {1, 600, 40.0f, 0.0, 0, "video: frame 1/600  t 40.00 s  0.0 MB"},
             {3, 10, 40.0f, 2.0, -1, "video: frame 3/10  t 40.00 s  2.0 fps  0:04 left"},
             {13501, 13501, 225.0f, 1.5, 2'345'678'901,
              "video: frame 13501/13501  t 225.00 s  2345.7 MB  1.5 fps  0:00 left"}}) {
        EXPECT_EQ(formatVideoProgress(done, total, time, fps, bytes), line);
    }
}
