// The music generator: the same track on every run, in pieces as in one go, long enough for
// the demo, and the encoder (whose files the program reads in shell_audio_test). Not how it sounds.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "mp3_encoder.h"
#include "synth.h"
#include "testing/fluid_support.h"
#include "testing/scratch_files.h"

namespace {

struct Stereo {
    std::vector<float> left, right;
};

Stereo render(const synth::Score& score, double from, double seconds) {
    const auto count = static_cast<std::size_t>(seconds * synth::kSampleRate);
    Stereo out{std::vector<float>(count), std::vector<float>(count)};
    synth::renderMix(score, synth::secondsToSample(from), out.left, out.right);
    return out;
}

TEST(Music, SameTrackEveryTimeAndAnyStretchAsInsideALongerOne) {
    const synth::Score score = synth::composeTrack();
    // 62 s: kick, bass, plucks, pads, lead and its echoes all sound.
    const Stereo alone = render(score, 62.0, 0.25);
    const Stereo again = render(synth::composeTrack(), 62.0, 0.25);
    EXPECT_TRUE(alone.left == again.left && alone.right == again.right);
    const Stereo longer = render(score, 61.0, 1.25);
    const auto offset = static_cast<std::ptrdiff_t>(synth::secondsToSample(62.0) - synth::secondsToSample(61.0));
    EXPECT_TRUE(std::equal(alone.left.begin(), alone.left.end(), longer.left.begin() + offset));
    EXPECT_TRUE(std::equal(alone.right.begin(), alone.right.end(), longer.right.begin() + offset));
}

// The mix finds the notes sounding in a stretch by their order and the longest length.
TEST(Music, ScoreIsOrderedLandsOnTheCuesAndOutlastsTheDemo) {
    const synth::Score score = synth::composeTrack();
    const auto& notes = score.notes;
    EXPECT_TRUE(std::is_sorted(notes.begin(), notes.end(), [](auto& a, auto& b) { return a.start < b.start; }));
    EXPECT_TRUE(std::all_of(notes.begin(), notes.end(),
                            [&](const auto& n) { return n.start >= 0 && n.end() - n.start <= score.longestNote; }));
    EXPECT_TRUE(std::is_sorted(score.kickStarts.begin(), score.kickStarts.end()));
    std::vector<std::int64_t> impacts, cues;
    for (const synth::Note& note : notes) {
        if (note.voice == synth::Voice::Impact) impacts.push_back(note.start);
    }
    for (const double cue : synth::kSectionTimes) cues.push_back(synth::secondsToSample(cue));
    EXPECT_EQ(impacts, cues);
    EXPECT_GT(synth::trackSamples(), synth::secondsToSample(225.0));  // the run ends when the music passes 225 s
}

TEST(Music, PcmRoundsClampsAndInterleaves) {
    const std::vector<float> left = {0.0f, 1.0f, -1.0f, 2.0f, 0.5f};
    const std::vector<float> right = {0.25f, -2.0f, 1e-6f, -0.5f, -1.0f};
    std::vector<std::int16_t> out(10, 99);
    synth::toPcm16(left, right, out);
    EXPECT_EQ(out, (std::vector<std::int16_t>{0, 8192, 32767, -32767, -32767, 0, 32767, -16384, 16384, -32767}));
}

TEST(Music, EncoderStreamsAsInOneWriteAndRefusesBadInputLeavingNoFile) {
    const testfiles::ScratchDir dir;
    const std::string path = dir.file("x.mp3");
    std::vector<std::int16_t> pcm(2 * 30000);
    for (std::size_t i = 0; i < pcm.size(); ++i) pcm[i] = static_cast<std::int16_t>(i * 37 % 16000) - 8000;
    ASSERT_TRUE(encodeMp3(path, pcm, 44100, 128));
    const std::string whole = testfiles::readFile(path);
    Mp3Encoder encoder;
    ASSERT_TRUE(encoder.open(path, 44100, 128));
    ASSERT_TRUE(encoder.write(std::span(pcm).first(2 * 1001)));
    ASSERT_TRUE(encoder.write(std::span(pcm).subspan(2 * 1001)));
    ASSERT_TRUE(encoder.finish());
    EXPECT_EQ(testfiles::readFile(path), whole);

    std::filesystem::remove(path);
    EXPECT_FALSE(encodeMp3(path, std::span(pcm).first(2 * 1000 - 1), 44100, 192));  // half a sample frame
    EXPECT_FALSE(encodeMp3(path, pcm, 0, 192));
    EXPECT_FALSE(encodeMp3(path, pcm, 44100, -5));
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_FALSE(encodeMp3(dir.file("no-such-folder/x.mp3"), pcm, 44100, 192));
    Mp3Encoder unopened;
    EXPECT_FALSE(unopened.write(pcm));
    EXPECT_FALSE(unopened.finish());
}

}  // namespace
