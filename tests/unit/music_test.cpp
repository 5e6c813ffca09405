// The music generator: the same track on every run, in pieces as in one go, long enough for
// the demo, and the encoder (whose files the program reads in shell_audio_test). Not how it sounds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "mp3_encoder.h"
#include "synth.h"
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

// The room and the DC filter carry state from sample to sample; a stretch renders as inside
// the whole track, also across the grid their runs restart on (every 10 s), and the same on
// every run.
TEST(Music, SameTrackEveryTimeAndAnyStretchAsInsideALongerOne) {
    const synth::Score score = synth::composeTrack();
    // 62 s: kick, bass, plucks, pads, lead and its echoes all sound.
    const Stereo once = render(score, 62.0, 0.25);
    const Stereo again = render(synth::composeTrack(), 62.0, 0.25);
    EXPECT_TRUE(once.left == again.left && once.right == again.right);
    for (const double from : {59.9, 62.0, 139.95}) {
        const Stereo alone = render(score, from, 0.2);
        const Stereo longer = render(score, from - 3.0, 3.5);
        const auto offset = static_cast<std::ptrdiff_t>(synth::secondsToSample(from) -
                                                        synth::secondsToSample(from - 3.0));
        EXPECT_TRUE(std::equal(alone.left.begin(), alone.left.end(), longer.left.begin() + offset)) << from;
        EXPECT_TRUE(std::equal(alone.right.begin(), alone.right.end(), longer.right.begin() + offset)) << from;
        // Not silence: the comparison above means something.
        EXPECT_GT(*std::max_element(alone.left.begin(), alone.left.end()), 0.01f) << from;
    }
}

// A DC offset wastes headroom and thumps when the track starts and stops.
TEST(Music, NoOffsetAcrossABusyStretch) {
    const Stereo mix = render(synth::composeTrack(), 64.8, 8.1);
    double sum = 0.0;
    for (std::size_t i = 0; i < mix.left.size(); ++i) sum += mix.left[i] + mix.right[i];
    EXPECT_LT(std::abs(sum / (2.0 * static_cast<double>(mix.left.size()))), 2e-4);
}

// A section's chords and phrases start at the first bar line at or after its turn: the
// theme's first note sounds on that bar line, not on a clock running from the start.
TEST(Music, PhrasesStartAtTheFirstBarLineOfTheirSection) {
    struct Row {
        int section;
        std::int64_t firstBar;
    };
    for (const Row row : {Row{0, 0}, Row{1, 7}, Row{4, 16}, Row{7, 33}, Row{13, 54}}) {
        EXPECT_EQ(synth::sectionFirstBar(row.section), row.firstBar) << row.section;
    }
    const synth::Score score = synth::composeTrack();
    const std::int64_t barLine = synth::sectionFirstBar(4) * synth::kBarSamples;  // the bar line after the theme's turn
    const bool themeOnTheBar = std::any_of(score.notes.begin(), score.notes.end(), [&](const synth::Note& n) {
        return n.voice == synth::Voice::Lead && n.start == barLine && n.pitch == 69.0f && n.pan == 0.05f;
    });
    EXPECT_TRUE(themeOnTheBar);
}

// The groove turns over at the end of every loop: no drum bar plays more than three times
// in a row between the beat's entry and the fade.
TEST(Music, NoDrumBarRepeatsMoreThanThreeTimesInARow) {
    const synth::Score score = synth::composeTrack();
    using Pattern = std::vector<std::pair<std::int64_t, synth::Voice>>;
    std::vector<Pattern> bars(
        static_cast<std::size_t>(synth::secondsToSample(synth::kFadeStartSeconds) / synth::kBarSamples));
    for (const synth::Note& n : score.notes) {
        const auto bar = static_cast<std::size_t>(n.start / synth::kBarSamples);
        const bool drum = n.voice == synth::Voice::Kick || n.voice == synth::Voice::Snare ||
                          n.voice == synth::Voice::Hat;
        if (drum && bar < bars.size()) bars[bar].emplace_back(n.start % synth::kBarSamples, n.voice);
    }
    int run = 1, longest = 1;
    for (std::size_t bar = synth::sectionFirstBar(1) + 1; bar < bars.size(); ++bar) {
        run = (!bars[bar].empty() && bars[bar] == bars[bar - 1]) ? run + 1 : 1;
        longest = std::max(longest, run);
    }
    EXPECT_LE(longest, 3);
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
    // The run ends when the music passes its last moment.
    EXPECT_GT(synth::trackSamples(), synth::secondsToSample(kDemoEndTime.exactSeconds()));
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
