// The pure parts of offline runs: frame counts, the frame-time summary, the encoder's
// command line, names, progress and the program lookup.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "shell/capture.h"
#include "shell/frame_stats.h"
#include "shell/video.h"

// One --end rule for captures and videos: the last frame at or before the end.
TEST(VideoFrames, CountEndsWithTheLastFrameAtOrBeforeTheEnd) {
    struct Case {
        double start, end;
        int fps;
        std::int64_t frames;
    };
    for (const Case& c : {Case{40.0, 42.0, 10, 21}, Case{60.0, 62.0, 5, 11}, Case{0.0, 225.0, 60, 13501},
                          Case{0.1, 0.3, 10, 3},  // 0.1 + 0.2 is above 0.3 in double, equal in float
                          Case{0.0, 0.15, 10, 2}, Case{40.0, 40.3, 10, 4}, Case{0.0, 1.0, 3, 4},
                          // A single moment, or a span that is not one, still gives one frame.
                          Case{50.0, 50.0, 30, 1}, Case{50.0, 40.0, 30, 1}, Case{0.0, 10.0, 0, 1}}) {
        EXPECT_EQ(offlineFrameCount(c.start, c.end, c.fps), c.frames) << c.start << ".." << c.end << " at " << c.fps;
    }
}

// Nearest-rank percentiles of the frame times, whatever their order.
TEST(VideoFrames, StatisticsSummaryUsesNearestRanks) {
    struct Case {
        std::vector<double> frameMs;
        const char* report;
    };
    for (const Case& c : {Case{{5, 1, 3}, "frames: 3\nframe time (ms): mean 3.00, median 3.00, 95th percentile "
                                          "5.00, 99th percentile 5.00, longest 5.00\n"},
                          Case{{20, 19, 18, 17, 16, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1},
                               "frames: 20\nframe time (ms): mean 10.50, median 10.00, 95th percentile 19.00, "
                               "99th percentile 20.00, longest 20.00\n"}}) {
        std::vector<FrameSample> samples(c.frameMs.size());
        for (std::size_t i = 0; i < samples.size(); ++i) samples[i].frameMs = c.frameMs[i];
        std::ostringstream report;
        writeStatsReport(report, summarizeFrames(samples));
        EXPECT_TRUE(report.str().starts_with(c.report)) << report.str();
    }
}

TEST(VideoEncoderCommand, MusicIsCutToTheFramesAndOddSizesArePadded) {
    VideoSettings settings;
    settings.musicFile = "Orvalin-Velkarn.mp3";
    settings.startSeconds = 40.0;
    settings.endSeconds = 42.0;
    settings.fps = 10;
    std::vector<std::string> args = videoEncoderArguments(settings, 321, 181, "clip.mp4");
    const auto at = [&](const char* word, int skip = 0) {
        auto it = std::find(args.begin(), args.end(), word);
        while (skip-- > 0) it = std::find(it + 1, args.end(), word);
        return it == args.end() ? -1 : static_cast<int>(it - args.begin());
    };
    // -ss and -t come before the music input, so they cut the input; the output is cut too.
    EXPECT_EQ(args[at("-ss") + 1], "40.000000");
    EXPECT_EQ(args[at("-t") + 1], "2.100000");
    EXPECT_EQ(args[at("-t", 1) + 1], "2.100000");
    EXPECT_EQ(at("Orvalin-Velkarn.mp3"), at("-i", 1) + 1);
    EXPECT_LT(at("-t"), at("-i", 1));
    EXPECT_EQ(args[at("-vf") + 1], "vflip,pad=322:182:0:0:black");
    EXPECT_EQ(args[at("-b:v") + 1], std::to_string(videoBitRateKbits(322, 182)) + "k");
    settings.musicFile.clear();
    args = videoEncoderArguments(settings, 320, 180, "clip.mp4");
    EXPECT_EQ(args[at("-vf") + 1], "vflip");
    for (const char* word : {"-ss", "-c:a", "-map"}) EXPECT_EQ(at(word), -1) << word << " without music";
    EXPECT_EQ(std::count(args.begin(), args.end(), "-i"), 1);
}

TEST(VideoEncoderCommand, BitRateNamesAndProgress) {
    for (const auto& [width, height, kbits] :
         std::initializer_list<std::array<int, 3>>{{1920, 1080, 8000}, {1280, 720, 3556}, {320, 180, 1000}, {0, 9, 1000}}) {
        EXPECT_EQ(videoBitRateKbits(width, height), kbits) << width << "x" << height;
    }
    EXPECT_EQ(partialVideoName("out/v.mp4", 12), "out/.v.mp4.partial-12");
    EXPECT_EQ(formatVideoProgress(120, 600, 42.0f, 30.0), "video: frame 120/600  t 42.00 s  30.0 fps  0:16 left");
    EXPECT_NE(formatVideoProgress(0, 13500, 0.0f, 0.5).find("450:00 left"), std::string::npos);
    EXPECT_EQ(formatVideoProgress(0, 10, 0.0f, 0.0), "video: frame 0/10  t 0.00 s") << "no estimate before a rate";
}

TEST(VideoEncoderCommand, TheEncoderIsAnExecutableOnThePath) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "velkarn-video-path-test";
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "ffmpeg") << "not a program\n";  // a plain file of the name is not one
    std::filesystem::permissions(dir / "ffmpeg", std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    struct Case {
        const char* name;
        const char* path;
        bool found;
    };
    for (const Case& c : {Case{"sh", "/nonexistent:/bin:/usr/bin", true}, Case{"sh", "/nonexistent", false},
                          Case{"sh", "", false}, Case{"sh", nullptr, false}, Case{"", "/bin", false},
                          Case{"/bin/sh", nullptr, true}, Case{"ffmpeg", dir.c_str(), false}}) {
        EXPECT_EQ(programOnPath(c.name, c.path), c.found) << c.name << " on " << (c.path ? c.path : "(none)");
    }
    std::filesystem::remove_all(dir);
}
