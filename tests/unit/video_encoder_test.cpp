// The encoder process with stand-in programs: how the pipe, the exit status and the
// partial file decide whether a video exists.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "shell/video.h"

namespace {

namespace fs = std::filesystem;

class VideoEncoderProcess : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("velkarn-video-test-" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        saved_ = videoSettings;
        resetVideoEncoder();
        videoSettings = VideoSettings{};
        videoSettings.file = (dir_ / "clip.mp4").string();
        videoSettings.startSeconds = 0.0;
        videoSettings.endSeconds = 0.2;
        videoSettings.fps = 10;  // three frames: 0, 0.1 and 0.2 s
    }
    void TearDown() override {
        resetVideoEncoder();
        videoSettings = saved_;
        fs::remove_all(dir_);
    }
    // A stand-in for ffmpeg: a shell script; "$out" is its last argument.
    void encoder(const std::string& body) {
        const fs::path script = dir_ / "fake-encoder";
        std::ofstream(script) << "#!/bin/sh\nfor out; do :; done\n" << body << "\n";
        fs::permissions(script, fs::perms::owner_all);
        videoSettings.encoder = script.string();
    }
    std::vector<fs::path> files() const {
        std::vector<fs::path> names;
        for (const auto& entry : fs::directory_iterator(dir_)) {
            if (entry.path().filename() != "fake-encoder") names.push_back(entry.path().filename());
        }
        return names;
    }
    bool sendFrames(int count, int width, int height) {
        const std::vector<std::uint8_t> frame(static_cast<std::size_t>(width) * height * 4, 128);
        for (int i = 0; i < count; ++i) {
            if (!writeVideoFrame(frame, static_cast<float>(i) / 10.0f)) return false;
        }
        return true;
    }
    fs::path dir_;
    VideoSettings saved_;
};

}  // namespace

TEST_F(VideoEncoderProcess, CompleteVideoIsMovedToItsName) {
    encoder("cat > \"$out\"");
    ASSERT_TRUE(beginVideo(8, 6));
    EXPECT_TRUE(videoStarted());
    ASSERT_TRUE(sendFrames(3, 8, 6));
    EXPECT_TRUE(videoComplete());
    EXPECT_TRUE(finishVideo());
    EXPECT_EQ(fs::file_size(dir_ / "clip.mp4"), 3u * 8 * 6 * 4);  // every byte went through the pipe
    EXPECT_EQ(files().size(), 1u);  // no partial file left
    EXPECT_FALSE(videoRequested());
}

TEST_F(VideoEncoderProcess, FailingEncoderLeavesNoFile) {
    encoder("cat > \"$out\"; exit 3");
    ASSERT_TRUE(beginVideo(8, 6));
    ASSERT_TRUE(sendFrames(3, 8, 6));
    EXPECT_FALSE(finishVideo());
    EXPECT_TRUE(files().empty());
}

TEST_F(VideoEncoderProcess, MissingEncoderCannotBegin) {
    videoSettings.encoder = (dir_ / "no-such-ffmpeg").string();
    EXPECT_FALSE(beginVideo(8, 6));
    EXPECT_FALSE(videoStarted());
    EXPECT_FALSE(finishVideo());  // nothing rendered: reported, not written
    EXPECT_TRUE(files().empty());
}

TEST_F(VideoEncoderProcess, EncoderThatStopsReadingIsAWriteErrorNotADeadProcess) {
    encoder("exit 0");
    ASSERT_TRUE(beginVideo(256, 256));  // frames far larger than a pipe's buffer
    EXPECT_FALSE(sendFrames(3, 256, 256));
    EXPECT_FALSE(videoComplete());
    EXPECT_FALSE(finishVideo());
    EXPECT_TRUE(files().empty());
}

TEST_F(VideoEncoderProcess, RunStoppedEarlyWritesNoVideo) {
    encoder("cat > \"$out\"");
    ASSERT_TRUE(beginVideo(8, 6));
    ASSERT_TRUE(sendFrames(2, 8, 6));
    EXPECT_FALSE(videoComplete());
    EXPECT_FALSE(finishVideo());
    EXPECT_TRUE(files().empty());
}

TEST_F(VideoEncoderProcess, FrameOfTheWrongSizeIsRefused) {
    encoder("cat > \"$out\"");
    ASSERT_TRUE(beginVideo(8, 6));
    const std::vector<std::uint8_t> small(8 * 5 * 4, 0);
    EXPECT_FALSE(writeVideoFrame(small, 0.0f));
    EXPECT_FALSE(finishVideo());
    EXPECT_TRUE(files().empty());
}

TEST_F(VideoEncoderProcess, AbsurdPictureSizeIsRefused) {
    encoder("cat > \"$out\"");
    EXPECT_FALSE(beginVideo(0, 6));
    EXPECT_FALSE(beginVideo(8, -1));
    EXPECT_FALSE(videoStarted());
}
