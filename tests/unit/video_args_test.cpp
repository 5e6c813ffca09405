// The pure parts of offline runs: frame counts, the frame-time summary, the encoder's
// command line.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "base/frame_stats.h"
#include "program/capture.h"
#include "program/video.h"

// One --end rule for captures and videos: the last frame at or before the end.
TEST(VideoFrames, CountEndsWithTheLastFrameAtOrBeforeTheEnd) {
    for (const auto& [start, end, fps, frames] : std::initializer_list<std::tuple<double, double, int, std::int64_t>>{
             {40.0, 42.0, 10, 21},
             {60.0, 62.0, 5, 11},
             {0.0, 225.0, 60, 13501},
             {0.0, 0.15, 10, 2},
             {40.0, 40.3, 10, 4},
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

TEST(VideoEncoderCommand, MusicIsCutToTheFramesAndOddSizesArePadded) {
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
    EXPECT_EQ(after("-vf"), "vflip,pad=322:182:0:0:black");
    settings.musicFile.clear();
    args = videoEncoderArguments(settings, 320, 180, "clip.mp4");
    EXPECT_EQ(after("-vf") + after("-ss") + after("-c:a") + after("-map") + after("-i", 1),
              "vflip(none)(none)(none)(none)");
}

TEST(VideoProgress, TheLineShowsTheSizeWrittenSoFar) {
    for (const auto& [done, total, time, fps, bytes, line] :
         std::initializer_list<std::tuple<std::int64_t, std::int64_t, float, double, std::int64_t, const char*>>{
             {120, 600, 42.0f, 35.2, 12'500'000, "video: frame 120/600  t 42.00 s  12.5 MB  35.2 fps  0:14 left"},
             {1, 600, 40.0f, 0.0, 0, "video: frame 1/600  t 40.00 s  0.0 MB"},
             {3, 10, 40.0f, 2.0, -1, "video: frame 3/10  t 40.00 s  2.0 fps  0:04 left"},
             {13501, 13501, 225.0f, 1.5, 2'345'678'901, "video: frame 13501/13501  t 225.00 s  2345.7 MB  1.5 fps  0:00 left"}}) {
        EXPECT_EQ(formatVideoProgress(done, total, time, fps, bytes), line);
    }
}
