#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <vector>

#include "mp3_encoder.h"
#include "shell/audio.h"
#include "shell/mp3_decoder.h"

namespace {

constexpr int kRate = 44100;

// A short stereo track whose every stretch differs: a chirp on the left, noise-like
// harmonics on the right, so a misplaced seek shows as a mismatch.
std::vector<std::int16_t> makeSignal(int frames) {
    std::vector<std::int16_t> pcm(static_cast<std::size_t>(frames) * 2);
    for (int i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double left = std::sin(2.0 * M_PI * (200.0 + 400.0 * t) * t);
        const double right = std::sin(2.0 * M_PI * 330.0 * t) * std::sin(2.0 * M_PI * 3.0 * t);
        pcm[2 * i] = static_cast<std::int16_t>(left * 12000.0);
        pcm[2 * i + 1] = static_cast<std::int16_t>(right * 12000.0);
    }
    return pcm;
}

class ShellAudio : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = std::filesystem::temp_directory_path() / ("velkarn-audio-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
        track_ = dir_ / "track.mp3";
        ASSERT_TRUE(encodeMp3(track_, makeSignal(kFrames), kRate, 192));
    }
    static void TearDownTestSuite() { std::filesystem::remove_all(dir_); }
    void TearDown() override { audioShutdown(); }

    static constexpr int kFrames = 2 * kRate;  // two seconds
    static inline std::filesystem::path dir_;
    static inline std::filesystem::path track_;
};

// Where a stretch of decoded samples best matches a reference, within a search window.
int bestOffset(const std::vector<std::int16_t>& reference, std::int64_t expectedFrame,
               const std::vector<std::int16_t>& stretch, int window) {
    int best = 0;
    double bestError = 1e300;
    for (int offset = -window; offset <= window; ++offset) {
        double error = 0.0;
        for (std::size_t i = 0; i < stretch.size(); ++i) {
            const std::int64_t index = (expectedFrame + offset) * 2 + static_cast<std::int64_t>(i);
            const double d = static_cast<double>(stretch[i]) - reference[static_cast<std::size_t>(index)];
            error += d * d;
        }
        if (error < bestError) {
            bestError = error;
            best = offset;
        }
    }
    return best;
}

}  // namespace

TEST_F(ShellAudio, DecoderGivesTheExactLengthAndSampleExactSeeks) {
    Mp3Decoder decoder;
    ASSERT_TRUE(decoder.open(track_.c_str()));
    EXPECT_EQ(decoder.lengthFrames(), kFrames);

    std::vector<std::int16_t> whole(static_cast<std::size_t>(kFrames) * 2);
    ASSERT_EQ(decoder.read(whole), static_cast<std::size_t>(kFrames));
    EXPECT_EQ(decoder.positionFrames(), kFrames);
    std::vector<std::int16_t> beyond(64);
    EXPECT_EQ(decoder.read(beyond), 0u) << "nothing after the end";

    for (const std::int64_t target : {std::int64_t{12345}, std::int64_t{44100}, std::int64_t{70000}}) {
        decoder.seekFrames(target);
        EXPECT_EQ(decoder.positionFrames(), target);
        std::vector<std::int16_t> stretch(2048);
        ASSERT_EQ(decoder.read(stretch), 1024u);
        // Within one millisecond (44 frames) of the target, and in fact exactly on it.
        EXPECT_EQ(bestOffset(whole, target, stretch, 44), 0) << "seek to " << target;
    }
    decoder.seekFrames(-5);
    EXPECT_EQ(decoder.positionFrames(), 0);
    decoder.seekFrames(kFrames * 3);
    EXPECT_EQ(decoder.positionFrames(), kFrames);
}

TEST_F(ShellAudio, MissingOrBrokenFilesDoNotOpen) {
    Mp3Decoder decoder;
    EXPECT_FALSE(decoder.open((dir_ / "absent.mp3").c_str()));
    const auto junk = dir_ / "junk.mp3";
    std::FILE* f = std::fopen(junk.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("this is not an mp3 file at all", f);
    std::fclose(f);
    EXPECT_FALSE(decoder.open(junk.c_str()));
    EXPECT_FALSE(audioOpenStream(junk.c_str()));
    EXPECT_FALSE(audioHasStream());
    EXPECT_EQ(audioLengthBytes(), 0u);
}

TEST_F(ShellAudio, SilentOutputAdvancesByTheClockAndStopsAtTheEnd) {
    ASSERT_TRUE(audioOpenStream(track_.c_str()));
    EXPECT_EQ(audioLengthBytes(), static_cast<std::uint64_t>(kFrames) * 4);
    EXPECT_EQ(audioPositionBytes(), 0u) << "nothing plays before play";
    audioPlay();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const std::uint64_t early = audioPositionBytes();
    EXPECT_GT(early, 0u);
    EXPECT_LT(early, audioLengthBytes());
    EXPECT_EQ(early % 4, 0u) << "whole sample frames";

    audioSetPositionBytes(audioLengthBytes() - 4 * 100);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(audioPositionBytes(), audioLengthBytes()) << "a finished track stands at its end";

    audioSetPositionBytes(audioSecondsToBytes(0.5));
    const double seconds = audioBytesToSeconds(audioPositionBytes());
    EXPECT_GE(seconds, 0.5);
    EXPECT_LT(seconds, 0.6);
}

TEST_F(ShellAudio, SilentClockWithoutTrackHasNoEnd) {
    EXPECT_FALSE(audioOpenStream((dir_ / "absent.mp3").c_str()));
    audioPlay();
    audioSetPositionBytes(audioSecondsToBytes(300.0));
    EXPECT_GE(audioBytesToSeconds(audioPositionBytes()), 300.0) << "the clock runs past any length";
}

TEST_F(ShellAudio, DeviceOutputReportsWhatIsHeard) {
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (!audioInitDevice()) GTEST_SKIP() << "no audio device, not even SDL's dummy driver";
    ASSERT_TRUE(audioOpenStream(track_.c_str()));
    EXPECT_EQ(audioPositionBytes(), 0u);
    audioSetPositionBytes(audioSecondsToBytes(1.0));
    EXPECT_EQ(audioPositionBytes(), audioSecondsToBytes(1.0)) << "a seek is heard at once";
    const auto started = std::chrono::steady_clock::now();
    audioPlay();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    const double heard = audioBytesToSeconds(audioPositionBytes()) - 1.0;
    EXPECT_GT(heard, 0.0) << "playback advances";
    EXPECT_LE(heard, elapsed + 0.001) << "never ahead of what could have been heard";
}

TEST_F(ShellAudio, DeviceWithoutTrackFollowsTheSilentClock) {
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (!audioInitDevice()) GTEST_SKIP() << "no audio device, not even SDL's dummy driver";
    EXPECT_FALSE(audioOpenStream((dir_ / "absent.mp3").c_str()));
    audioSetPositionBytes(audioSecondsToBytes(223.0));
    audioPlay();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_GT(audioBytesToSeconds(audioPositionBytes()), 223.0) << "the clock must run on to the demo's end";
}
