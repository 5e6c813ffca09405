#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "shell/capture.h"
#include "shell/video.h"

namespace {

// The word following the first occurrence of flag, or "" when absent.
std::string after(const std::vector<std::string>& args, const std::string& flag, int occurrence = 0) {
    for (std::size_t i = 0; i + 1 < args.size(); ++i) {
        if (args[i] == flag && occurrence-- == 0) return args[i + 1];
    }
    return "";
}

bool has(const std::vector<std::string>& args, const std::string& word) {
    return std::find(args.begin(), args.end(), word) != args.end();
}

VideoSettings shortClip() {
    VideoSettings settings;
    settings.file = "clip.mp4";
    settings.musicFile = "Orvalin-Velkarn.mp3";
    settings.startSeconds = 40.0;
    settings.endSeconds = 42.0;
    settings.fps = 10;
    return settings;
}

}  // namespace

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

TEST(VideoFrames, BitRateScalesWithPixelsAndHasAFloor) {
    EXPECT_GE(videoBitRateKbits(1920, 1080), 6000);
    EXPECT_EQ(videoBitRateKbits(1920, 1080), 8000);
    EXPECT_EQ(videoBitRateKbits(3840, 2160), 32000);
    EXPECT_EQ(videoBitRateKbits(1280, 720), 3556);
    EXPECT_EQ(videoBitRateKbits(320, 180), 1000);
    EXPECT_EQ(videoBitRateKbits(0, 1080), 1000);
    EXPECT_EQ(videoBitRateKbits(-5, -5), 1000);
}

TEST(VideoFrames, OddSizesArePaddedToEven) {
    EXPECT_EQ(evenPictureSize(321, 181).width, 322);
    EXPECT_EQ(evenPictureSize(321, 181).height, 182);
    EXPECT_EQ(evenPictureSize(320, 180).width, 320);
    EXPECT_EQ(evenPictureSize(320, 180).height, 180);
}

TEST(VideoEncoderCommand, PicturesComeRawOnStandardInputAndAreFlipped) {
    const std::vector<std::string> args = videoEncoderArguments(shortClip(), 320, 180, "out/.clip.partial");
    ASSERT_FALSE(args.empty());
    EXPECT_EQ(args.front(), "ffmpeg");
    EXPECT_EQ(args.back(), "out/.clip.partial");
    EXPECT_EQ(after(args, "-f"), "rawvideo");
    EXPECT_EQ(after(args, "-pixel_format"), "rgba");
    EXPECT_EQ(after(args, "-video_size"), "320x180");
    EXPECT_EQ(after(args, "-framerate"), "10");
    EXPECT_EQ(after(args, "-i"), "pipe:0");
    EXPECT_EQ(after(args, "-vf"), "vflip");
    EXPECT_EQ(after(args, "-c:v"), "libx264");
    EXPECT_EQ(after(args, "-pix_fmt"), "yuv420p");
    EXPECT_EQ(after(args, "-b:v"), "1000k");
    EXPECT_EQ(after(args, "-f", 1), "mp4");
}

TEST(VideoEncoderCommand, MusicIsCutToTheSameStretch) {
    const std::vector<std::string> args = videoEncoderArguments(shortClip(), 320, 180, "clip.mp4");
    EXPECT_EQ(after(args, "-ss"), "40.000000");
    EXPECT_EQ(after(args, "-t"), "2.100000");
    EXPECT_EQ(after(args, "-i", 1), "Orvalin-Velkarn.mp3");
    // -ss and -t come before the music input, so they cut the input, not the output.
    const auto ss = std::find(args.begin(), args.end(), "-ss");
    const auto music = std::find(args.begin(), args.end(), "Orvalin-Velkarn.mp3");
    EXPECT_LT(ss, music);
    EXPECT_EQ(after(args, "-c:a"), "aac");
    EXPECT_EQ(after(args, "-b:a"), "192k");
    // The output is cut to the frames' duration as well.
    EXPECT_EQ(after(args, "-t", 1), "2.100000");
}

TEST(VideoEncoderCommand, NoMusicMeansNoAudioInputOrCodec) {
    VideoSettings settings = shortClip();
    settings.musicFile.clear();
    const std::vector<std::string> args = videoEncoderArguments(settings, 320, 180, "clip.mp4");
    EXPECT_FALSE(has(args, "-ss"));
    EXPECT_FALSE(has(args, "-c:a"));
    EXPECT_FALSE(has(args, "-map"));
    EXPECT_EQ(std::count(args.begin(), args.end(), "-i"), 1);
}

TEST(VideoEncoderCommand, OddPicturePaddedAndRateFromEvenSize) {
    VideoSettings settings = shortClip();
    const std::vector<std::string> args = videoEncoderArguments(settings, 1921, 1081, "clip.mp4");
    EXPECT_EQ(after(args, "-video_size"), "1921x1081");
    EXPECT_EQ(after(args, "-vf"), "vflip,pad=1922:1082:0:0:black");
    EXPECT_EQ(after(args, "-b:v"), std::to_string(videoBitRateKbits(1922, 1082)) + "k");
}

TEST(VideoNames, PartialFileIsHiddenBesideTheVideo) {
    EXPECT_EQ(partialVideoName("out/v.mp4", 12), "out/.v.mp4.partial-12");
    EXPECT_EQ(partialVideoName("v.mp4", 7), ".v.mp4.partial-7");
}

TEST(VideoProgress, LineShowsFramesTimeRateAndTimeLeft) {
    const std::string line = formatVideoProgress(120, 600, 42.0f, 30.0);
    EXPECT_NE(line.find("frame 120/600"), std::string::npos) << line;
    EXPECT_NE(line.find("t 42.00 s"), std::string::npos) << line;
    EXPECT_NE(line.find("30.0 fps"), std::string::npos) << line;
    EXPECT_NE(line.find("0:16 left"), std::string::npos) << line;
    EXPECT_NE(formatVideoProgress(0, 13500, 0.0f, 0.5).find("450:00 left"), std::string::npos);
    // Before any rate is known there is no estimate.
    EXPECT_EQ(formatVideoProgress(0, 10, 0.0f, 0.0).find("left"), std::string::npos);
    EXPECT_EQ(formatVideoProgress(10, 10, 1.0f, 25.0).find("0:00 left") != std::string::npos, true);
}

TEST(VideoProgramLookup, FindsExecutablesOnThePathOnly) {
    EXPECT_TRUE(programOnPath("sh", "/nonexistent:/bin:/usr/bin"));
    EXPECT_FALSE(programOnPath("sh", "/nonexistent"));
    EXPECT_FALSE(programOnPath("sh", ""));
    EXPECT_FALSE(programOnPath("sh", nullptr));
    EXPECT_FALSE(programOnPath("", "/bin"));
    EXPECT_TRUE(programOnPath("/bin/sh", nullptr));

    // A plain file of the name is not a program.
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "velkarn-video-path-test";
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "ffmpeg") << "not a program\n";
    std::filesystem::permissions(dir / "ffmpeg", std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_FALSE(programOnPath("ffmpeg", dir.c_str()));
    std::filesystem::remove_all(dir);
}
