#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <numeric>
#include <thread>
#include <vector>

#include "mp3_encoder.h"
#include "program/audio.h"
#include "program/mp3_decoder.h"
#include "testing/scratch_files.h"

namespace {

namespace fs = std::filesystem;
constexpr int kFrames = 2 * 44100;
const fs::path dir = fs::temp_directory_path() / ("velkarn-audio-" + std::to_string(::getpid()));
const fs::path track = dir / "track.mp3";
const fs::path absent = dir / "absent.mp3";

double seconds() { return audioBytesToSeconds(audioPositionBytes()); }
void wait(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }
double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Two seconds whose every stretch differs (a chirp on the left, a beating tone on the
// right), so a misplaced seek shows as a mismatch.
class ProgramAudio : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        fs::create_directories(dir);
        std::vector<std::int16_t> pcm(2 * kFrames);
        for (int i = 0; i < kFrames; ++i) {
            const double t = i / 44100.0;
            pcm[2 * i] = static_cast<std::int16_t>(12000 * std::sin(2 * M_PI * (200 + 400 * t) * t));
            pcm[2 * i + 1] = static_cast<std::int16_t>(12000 * std::sin(2 * M_PI * 330 * t) * std::sin(6 * M_PI * t));
        }
        ASSERT_TRUE(encodeMp3(track, pcm, 44100, 192));
        testfiles::writeFile(dir / "junk.mp3", "this is not an mp3 file at all");
    }
    static void TearDownTestSuite() { fs::remove_all(dir); }
    void TearDown() override { audioShutdown(); }
};

}  // namespace

TEST_F(ProgramAudio, DecoderGivesTheExactLengthAndSampleExactSeeks) {
    Mp3Decoder decoder;
    EXPECT_FALSE(decoder.open(absent.c_str()));
    EXPECT_FALSE(decoder.open((dir / "junk.mp3").c_str()));
    ASSERT_TRUE(decoder.open(track.c_str()));
    std::vector<std::int16_t> whole(2 * kFrames + 64);
    ASSERT_EQ(decoder.read(whole), static_cast<std::size_t>(kFrames)) << "the exact length, nothing after the end";
    EXPECT_EQ(decoder.lengthFrames(), kFrames);
    EXPECT_EQ(decoder.positionFrames(), kFrames);
    for (const std::int64_t target : {12345, 44100, 70000}) {
        decoder.seekFrames(target);
        EXPECT_EQ(decoder.positionFrames(), target);
        std::vector<std::int16_t> stretch(2048);
        ASSERT_EQ(decoder.read(stretch), 1024u);
        // Of the offsets within a millisecond, the stretch matches the whole decode best at 0.
        const auto mismatch = [&](std::int64_t offset) {
            return std::transform_reduce(stretch.begin(), stretch.end(), whole.begin() + (target + offset) * 2, 0.0,
                                         std::plus<>(), [](double a, double b) { return (a - b) * (a - b); });
        };
        for (int offset = -44; offset <= 44; ++offset) {
            EXPECT_TRUE(offset == 0 || mismatch(0) < mismatch(offset)) << "seek to " << target << ", offset " << offset;
        }
    }
    for (const auto& [target, reached] : {std::pair{-5, 0}, {3 * kFrames, kFrames}}) {
        decoder.seekFrames(target);
        EXPECT_EQ(decoder.positionFrames(), reached) << "seek to " << target;
    }
}

TEST_F(ProgramAudio, SilentOutputAdvancesByTheClockAndStopsAtTheTracksEnd) {
    EXPECT_FALSE(audioOpenStream((dir / "junk.mp3").c_str()));
    EXPECT_EQ(audioLengthBytes(), 0u);
    ASSERT_TRUE(audioOpenStream(track.c_str()));
    EXPECT_EQ(audioLengthBytes(), kFrames * 4u);
    EXPECT_EQ(audioPositionBytes(), 0u) << "nothing plays before play";
    audioPlay();
    wait(100);
    EXPECT_GT(audioPositionBytes(), 0u);
    EXPECT_EQ(audioPositionBytes() % 4, 0u) << "whole sample frames";
    audioSetPositionBytes(audioLengthBytes() - 4 * 100);
    wait(50);
    EXPECT_EQ(audioPositionBytes(), audioLengthBytes()) << "a finished track stands at its end";
    // Played on from the seek by no more than the time that has passed since it.
    const auto beforeSeek = std::chrono::steady_clock::now();
    audioSetPositionBytes(audioSecondsToBytes(0.5));
    const double afterSeek = seconds();
    EXPECT_TRUE(afterSeek >= 0.5 && afterSeek <= 0.5 + secondsSince(beforeSeek) + 1e-3) << afterSeek;
}

TEST_F(ProgramAudio, DeviceReportsWhatIsHeardAndRunsOnWithoutATrack) {
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (!audioInitDevice()) GTEST_SKIP() << "no audio device, not even SDL's dummy driver";
    EXPECT_FALSE(audioOpenStream(absent.c_str()));
    audioSetPositionBytes(audioSecondsToBytes(223.0));
    audioPlay();
    wait(100);
    EXPECT_GT(seconds(), 223.0) << "the clock must run on to the demo's end";
    audioShutdown();
    ASSERT_TRUE(audioInitDevice());
    ASSERT_TRUE(audioOpenStream(track.c_str()));
    audioSetPositionBytes(audioSecondsToBytes(1.0));
    EXPECT_EQ(audioPositionBytes(), audioSecondsToBytes(1.0)) << "a seek is heard at once";
    const auto started = std::chrono::steady_clock::now();
    audioPlay();
    // Never ahead of what could have been heard, read across the device's 23 ms buffers
    // (a position of what was decoded would run up to a buffer ahead).
    for (int i = 0; i < 10; ++i) {
        wait(30);
        const double heard = seconds() - 1.0;  // read before the time it is held against
        const double elapsed = secondsSince(started);
        EXPECT_LE(heard, elapsed + 0.005) << "after " << elapsed << " s";
    }
    // The device's thread may be starved on a busy machine: playback advances, in time.
    while (seconds() <= 1.1 && secondsSince(started) < 60.0) wait(10);
    EXPECT_GT(seconds(), 1.1) << "playback advances";
}
