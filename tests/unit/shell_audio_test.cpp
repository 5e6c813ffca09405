#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>
#include <unistd.h>
#include <vector>

#include "mp3_encoder.h"
#include "shell/audio.h"
#include "shell/mp3_decoder.h"

namespace {

constexpr int kFrames = 2 * 44100;  // two seconds
namespace fs = std::filesystem;
using std::chrono::milliseconds;

double seconds() { return audioBytesToSeconds(audioPositionBytes()); }

class ShellAudio : public ::testing::Test {
protected:
    // Two seconds whose every stretch differs (a chirp on the left, a beating tone on the
    // right), so a misplaced seek shows as a mismatch.
    static void SetUpTestSuite() {
        fs::create_directories(dir_);
        for (int i = 0; i < kFrames; ++i) {
            const double t = i / 44100.0;
            signal_[2 * i] = static_cast<std::int16_t>(12000 * std::sin(2 * M_PI * (200 + 400 * t) * t));
            signal_[2 * i + 1] = static_cast<std::int16_t>(12000 * std::sin(2 * M_PI * 330 * t) * std::sin(6 * M_PI * t));
        }
        ASSERT_TRUE(encodeMp3(track_, signal_, 44100, 192));
    }
    static void TearDownTestSuite() { fs::remove_all(dir_); }
    void TearDown() override { audioShutdown(); }

    static inline const fs::path dir_ = fs::temp_directory_path() / ("velkarn-audio-" + std::to_string(::getpid()));
    static inline const fs::path track_ = dir_ / "track.mp3";
    static inline const fs::path absent_ = dir_ / "absent.mp3";
    static inline std::vector<std::int16_t> signal_ = std::vector<std::int16_t>(2 * kFrames);
};

}  // namespace

TEST_F(ShellAudio, DecoderGivesTheExactLengthAndSampleExactSeeks) {
    Mp3Decoder decoder;
    ASSERT_TRUE(decoder.open(track_.c_str()));
    EXPECT_EQ(decoder.lengthFrames(), kFrames);
    std::vector<std::int16_t> whole(2 * kFrames);
    ASSERT_EQ(decoder.read(whole), static_cast<std::size_t>(kFrames));
    EXPECT_EQ(decoder.positionFrames(), kFrames);
    std::vector<std::int16_t> beyond(64);
    EXPECT_EQ(decoder.read(beyond), 0u) << "nothing after the end";

    for (const std::int64_t target : {12345, 44100, 70000}) {
        decoder.seekFrames(target);
        EXPECT_EQ(decoder.positionFrames(), target);
        std::vector<std::int16_t> stretch(2048);
        ASSERT_EQ(decoder.read(stretch), 1024u);
        // Of the offsets within a millisecond, the stretch matches the whole decode best at 0.
        const auto mismatch = [&](std::int64_t offset) {
            double sum = 0.0;
            for (std::size_t i = 0; i < stretch.size(); ++i) {
                sum += std::pow(stretch[i] - whole[static_cast<std::size_t>((target + offset) * 2) + i], 2);
            }
            return sum;
        };
        for (int offset = -44; offset <= 44; ++offset) {
            EXPECT_TRUE(offset == 0 || mismatch(0) < mismatch(offset)) << "seek to " << target << ", offset " << offset;
        }
    }
    decoder.seekFrames(-5);
    EXPECT_EQ(decoder.positionFrames(), 0);
    decoder.seekFrames(kFrames * 3);
    EXPECT_EQ(decoder.positionFrames(), kFrames);
}

TEST_F(ShellAudio, MissingOrBrokenFilesDoNotOpen) {
    Mp3Decoder decoder;
    EXPECT_FALSE(decoder.open(absent_.c_str()));
    const fs::path junk = dir_ / "junk.mp3";
    std::ofstream(junk) << "this is not an mp3 file at all";
    EXPECT_FALSE(decoder.open(junk.c_str()));
    EXPECT_FALSE(audioOpenStream(junk.c_str()));
    EXPECT_FALSE(audioHasStream());
    EXPECT_EQ(audioLengthBytes(), 0u);
}

TEST_F(ShellAudio, SilentOutputAdvancesByTheClockAndStopsAtTheTracksEnd) {
    ASSERT_TRUE(audioOpenStream(track_.c_str()));
    EXPECT_EQ(audioLengthBytes(), kFrames * 4u);
    EXPECT_EQ(audioPositionBytes(), 0u) << "nothing plays before play";
    audioPlay();
    std::this_thread::sleep_for(milliseconds(100));
    EXPECT_GT(audioPositionBytes(), 0u);
    EXPECT_LT(audioPositionBytes(), audioLengthBytes());
    EXPECT_EQ(audioPositionBytes() % 4, 0u) << "whole sample frames";
    audioSetPositionBytes(audioLengthBytes() - 4 * 100);
    std::this_thread::sleep_for(milliseconds(50));
    EXPECT_EQ(audioPositionBytes(), audioLengthBytes()) << "a finished track stands at its end";
    audioSetPositionBytes(audioSecondsToBytes(0.5));
    EXPECT_GE(seconds(), 0.5);
    EXPECT_LT(seconds(), 0.6);
    // Without a track the clock has no end.
    audioShutdown();
    EXPECT_FALSE(audioOpenStream(absent_.c_str()));
    audioPlay();
    audioSetPositionBytes(audioSecondsToBytes(300.0));
    EXPECT_GE(seconds(), 300.0);
}

TEST_F(ShellAudio, DeviceReportsWhatIsHeardAndRunsOnWithoutATrack) {
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (!audioInitDevice()) GTEST_SKIP() << "no audio device, not even SDL's dummy driver";
    EXPECT_FALSE(audioOpenStream(absent_.c_str()));
    audioSetPositionBytes(audioSecondsToBytes(223.0));
    audioPlay();
    std::this_thread::sleep_for(milliseconds(100));
    EXPECT_GT(seconds(), 223.0) << "the clock must run on to the demo's end";

    audioShutdown();
    ASSERT_TRUE(audioInitDevice());
    ASSERT_TRUE(audioOpenStream(track_.c_str()));
    EXPECT_EQ(audioPositionBytes(), 0u);
    audioSetPositionBytes(audioSecondsToBytes(1.0));
    EXPECT_EQ(audioPositionBytes(), audioSecondsToBytes(1.0)) << "a seek is heard at once";
    const auto started = std::chrono::steady_clock::now();
    audioPlay();
    std::this_thread::sleep_for(milliseconds(300));
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    EXPECT_GT(seconds() - 1.0, 0.0) << "playback advances";
    EXPECT_LE(seconds() - 1.0, elapsed + 0.001) << "never ahead of what could have been heard";
}
