// The music generator: beat grid, score, mix and the MP3 encoder. No whole-track render
// here; stretches of a second or two stand in for it.
#include <gtest/gtest.h>
#include <mpg123.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

#include "mp3_encoder.h"
#include "synth.h"

namespace {

using synth::kSampleRate;

const synth::Score& trackScore() {
    static const synth::Score score = synth::composeTrack();
    return score;
}

struct Stereo {
    std::vector<float> left, right;
};

Stereo renderSeconds(double from, double seconds) {
    const auto count = static_cast<std::size_t>(seconds * kSampleRate);
    Stereo out{std::vector<float>(count), std::vector<float>(count)};
    synth::renderMix(trackScore(), synth::secondsToSample(from), out.left, out.right);
    return out;
}

std::vector<const synth::Note*> notesOf(synth::Voice voice) {
    std::vector<const synth::Note*> found;
    for (const synth::Note& note : trackScore().notes) {
        if (note.voice == voice) found.push_back(&note);
    }
    return found;
}

double toSeconds(std::int64_t sample) { return static_cast<double>(sample) / kSampleRate; }

// ---------------------------------------------------------------------------------------

TEST(MusicGrid, BeatsFallOnRoundedMultiplesOfTheBeat) {
    for (std::int64_t n = 0; n <= 300; ++n) {
        EXPECT_EQ(synth::beatSample(n), std::llround(static_cast<double>(n) * 0.81 * 44100.0)) << n;
    }
    EXPECT_EQ(synth::beatSample(5), synth::secondsToSample(4.05));  // one bar
}

TEST(MusicGrid, SixteenthsSplitEachBeatEvenly) {
    for (std::int64_t beat = 0; beat < 280; ++beat) {
        ASSERT_EQ(synth::stepSample(4 * beat), synth::beatSample(beat));
        for (int s = 0; s < 4; ++s) {
            const std::int64_t gap = synth::stepSample(4 * beat + s + 1) - synth::stepSample(4 * beat + s);
            EXPECT_TRUE(gap == 8930 || gap == 8931) << beat << ' ' << s;
        }
    }
}

TEST(MusicGrid, SectionsTurnExactlyOnTheCues) {
    EXPECT_EQ(synth::sectionAt(0.0), 0);
    EXPECT_EQ(synth::sectionAt(25.499), 0);
    EXPECT_EQ(synth::sectionAt(25.5), 1);
    EXPECT_EQ(synth::sectionAt(91.04), 3);
    EXPECT_EQ(synth::sectionAt(91.05), 4);
    EXPECT_EQ(synth::sectionAt(216.9), 11);
    EXPECT_EQ(synth::sectionAt(217.0), 12);
    EXPECT_EQ(synth::sectionAt(1e9), 12);
    EXPECT_GE(toSeconds(synth::trackSamples()), 226.0);
}

// ---------------------------------------------------------------------------------------

TEST(MusicScore, NotesAreOrderedAndWithinTheLongestNote) {
    const synth::Score& score = trackScore();
    ASSERT_FALSE(score.notes.empty());
    for (std::size_t i = 0; i < score.notes.size(); ++i) {
        const synth::Note& note = score.notes[i];
        if (i > 0) {
            EXPECT_LE(score.notes[i - 1].start, note.start);
        }
        EXPECT_GE(note.start, 0);
        EXPECT_LE(note.end() - note.start, score.longestNote);
        EXPECT_LT(toSeconds(note.start), synth::kFadeEndSeconds);
    }
    ASSERT_EQ(score.kickStarts.size(), score.kickDepths.size());
    EXPECT_TRUE(std::is_sorted(score.kickStarts.begin(), score.kickStarts.end()));
}

TEST(MusicScore, KickArrivesWithTheFirstCueAndRestsInTheBreakdown) {
    const auto kicks = notesOf(synth::Voice::Kick);
    ASSERT_FALSE(kicks.empty());
    EXPECT_EQ(kicks.size(), trackScore().kickStarts.size());
    const double first = toSeconds(kicks.front()->start);
    EXPECT_GE(first, 25.5);
    EXPECT_LT(first, 25.5 + 0.81);
    for (const synth::Note* kick : kicks) {
        const double t = toSeconds(kick->start);
        EXPECT_FALSE(t > 91.05 && t < 104.05) << t;
        // On the sixteenth grid.
        const std::int64_t step = std::llround(static_cast<double>(kick->start) * 4.0 / 35721.0);
        EXPECT_EQ(synth::stepSample(step), kick->start);
    }
}

TEST(MusicScore, ImpactsHitTheCuesAndBuildUpsEndOnThem) {
    const auto impacts = notesOf(synth::Voice::Impact);
    const auto risers = notesOf(synth::Voice::Riser);
    ASSERT_EQ(impacts.size(), synth::kSectionTimes.size());
    for (std::size_t i = 0; i < impacts.size(); ++i) {
        EXPECT_EQ(impacts[i]->start, synth::secondsToSample(synth::kSectionTimes[i]));
    }
    ASSERT_FALSE(risers.empty());
    for (const synth::Note* riser : risers) {
        const std::int64_t landing = riser->start + riser->gate;
        const bool onCue = std::any_of(synth::kSectionTimes.begin(), synth::kSectionTimes.end(),
                                       [&](double cue) { return synth::secondsToSample(cue) == landing; });
        EXPECT_TRUE(onCue) << toSeconds(landing);
    }
}

TEST(MusicScore, EverySectionHasItsParts) {
    // Which voices start in [from, to).
    const auto has = [](synth::Voice voice, double from, double to) {
        const auto notes = notesOf(voice);
        return std::any_of(notes.begin(), notes.end(), [&](const synth::Note* n) {
            return toSeconds(n->start) >= from && toSeconds(n->start) < to;
        });
    };
    EXPECT_TRUE(has(synth::Voice::Pad, 0.0, 25.5));
    EXPECT_TRUE(has(synth::Voice::Hat, 0.0, 25.5));
    EXPECT_TRUE(has(synth::Voice::Bass, 25.5, 45.0));
    EXPECT_TRUE(has(synth::Voice::Lead, 58.5, 91.05));
    EXPECT_TRUE(has(synth::Voice::Pluck, 45.0, 58.5));
    EXPECT_TRUE(has(synth::Voice::Snare, 104.05, 130.0));
    EXPECT_TRUE(has(synth::Voice::Kick, 130.0, 142.3));
    EXPECT_TRUE(has(synth::Voice::Pad, 155.0, 175.0));
    EXPECT_TRUE(has(synth::Voice::Pad, 217.0, 225.0));
}

TEST(MusicScore, ComposesTheSameScoreEveryTime) {
    const synth::Score again = synth::composeTrack();
    const synth::Score& score = trackScore();
    ASSERT_EQ(again.notes.size(), score.notes.size());
    for (std::size_t i = 0; i < score.notes.size(); ++i) {
        const synth::Note& a = score.notes[i];
        const synth::Note& b = again.notes[i];
        ASSERT_TRUE(a.start == b.start && a.gate == b.gate && a.release == b.release && a.pitch == b.pitch &&
                    a.gain == b.gain && a.pan == b.pan && a.tone == b.tone && a.voice == b.voice && a.seed == b.seed)
            << i;
    }
}

// ---------------------------------------------------------------------------------------

TEST(MusicMix, StretchRendersTheSameAloneAsInsideALongerRender) {
    // 62 s: kick, bass, plucks, pads, lead and its echoes all sound.
    const Stereo alone = renderSeconds(62.0, 0.25);
    const Stereo longer = renderSeconds(61.0, 1.25);
    const std::size_t offset = static_cast<std::size_t>(synth::secondsToSample(62.0) - synth::secondsToSample(61.0));
    ASSERT_EQ(longer.left.size(), offset + alone.left.size());
    for (std::size_t i = 0; i < alone.left.size(); ++i) {
        ASSERT_EQ(alone.left[i], longer.left[offset + i]) << i;
        ASSERT_EQ(alone.right[i], longer.right[offset + i]) << i;
    }
}

TEST(MusicMix, RendersTheSameSamplesEveryTime) {
    const Stereo a = renderSeconds(110.0, 0.3);
    const Stereo b = renderSeconds(110.0, 0.3);
    EXPECT_EQ(a.left, b.left);
    EXPECT_EQ(a.right, b.right);
}

TEST(MusicMix, LoudestSectionStaysBelowFullScale) {
    const Stereo heavy = renderSeconds(110.0, 1.0);
    double energy = 0.0;
    float peak = 0.0f;
    for (std::size_t i = 0; i < heavy.left.size(); ++i) {
        peak = std::max({peak, std::fabs(heavy.left[i]), std::fabs(heavy.right[i])});
        energy += heavy.left[i] * heavy.left[i];
    }
    EXPECT_LT(peak, 1.0f);
    EXPECT_GT(std::sqrt(energy / static_cast<double>(heavy.left.size())), 0.1);  // and it is loud
}

TEST(MusicMix, KickDrivesTheBeat) {
    // The second after a kick in the first section is louder than the quarter-beat before it.
    const std::int64_t kick = synth::beatSample(40);  // 32.4 s
    const auto rms = [](double from, double seconds) {
        const Stereo s = renderSeconds(from, seconds);
        double energy = 0.0;
        for (const float v : s.left) energy += v * v;
        return std::sqrt(energy / static_cast<double>(s.left.size()));
    };
    EXPECT_GT(rms(toSeconds(kick), 0.1), 2.0 * rms(toSeconds(kick) - 0.2, 0.1));
}

TEST(MusicMix, FadeFallsToSilenceBy225Seconds) {
    EXPECT_EQ(synth::fadeGain(0.0), 1.0f);
    EXPECT_EQ(synth::fadeGain(200.0), 1.0f);
    float previous = 1.0f;
    for (double t = 200.0; t <= 225.0; t += 0.25) {
        const float gain = synth::fadeGain(t);
        EXPECT_LE(gain, previous) << t;
        previous = gain;
    }
    EXPECT_EQ(synth::fadeGain(225.0), 0.0f);
    EXPECT_EQ(synth::fadeGain(1000.0), 0.0f);

    const Stereo tail = renderSeconds(225.0, 1.0);
    EXPECT_TRUE(std::all_of(tail.left.begin(), tail.left.end(), [](float v) { return v == 0.0f; }));
    EXPECT_TRUE(std::all_of(tail.right.begin(), tail.right.end(), [](float v) { return v == 0.0f; }));
}

TEST(MusicMix, SoftLimitIsTransparentThenBendsBelowOne) {
    for (const float x : {0.0f, 0.3f, -0.5f, 0.7f, -0.7f}) EXPECT_EQ(synth::softLimit(x), x);
    float previous = 0.0f;
    for (float x = 0.0f; x < 20.0f; x += 0.01f) {
        const float y = synth::softLimit(x);
        EXPECT_GE(y, previous);
        EXPECT_LE(y, 1.0f);
        if (x < 2.0f) {
            EXPECT_LT(y, 1.0f);
        }
        EXPECT_EQ(synth::softLimit(-x), -y);
        previous = y;
    }
    // Continuous at the knee.
    EXPECT_NEAR(synth::softLimit(0.7001f), 0.7001f, 1e-5f);
}

TEST(MusicMix, DuckDipsAfterEachKickAndRecoversBeforeTheNextBeat) {
    const synth::Score& score = trackScore();
    ASSERT_FALSE(score.kickStarts.empty());
    EXPECT_EQ(synth::duckGain(score, 0), 1.0f);  // before the first kick
    const std::int64_t kick = score.kickStarts.front();
    const float depth = score.kickDepths.front();
    ASSERT_GT(depth, 0.0f);
    EXPECT_EQ(synth::duckGain(score, kick), 1.0f);
    EXPECT_NEAR(synth::duckGain(score, kick + 220), 1.0f - depth, 1e-6f);
    EXPECT_GT(synth::duckGain(score, kick + synth::kBeatSamples - 1), 0.95f);
}

TEST(MusicMix, PcmRoundsClampsAndInterleaves) {
    const std::vector<float> left = {0.0f, 1.0f, -1.0f, 2.0f, 0.5f};
    const std::vector<float> right = {0.25f, -2.0f, 1e-6f, -0.5f, -1.0f};
    std::vector<std::int16_t> out(10, 99);
    synth::toPcm16(left, right, out);
    const std::vector<std::int16_t> expected = {0, 8192, 32767, -32767, -32767, 0, 32767, -16384, 16384, -32767};
    EXPECT_EQ(out, expected);
}

// ---------------------------------------------------------------------------------------

class MusicEncoder : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = std::filesystem::temp_directory_path() /
                ("velkarn_music_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
                 "_" + std::to_string(::getpid()) + ".mp3");
    }
    void TearDown() override { std::filesystem::remove(path_); }

    static std::vector<std::int16_t> tone(std::size_t frames) {
        std::vector<std::int16_t> pcm(2 * frames);
        for (std::size_t i = 0; i < frames; ++i) {
            const double phase = 2.0 * std::numbers::pi * 440.0 * static_cast<double>(i) / kSampleRate;
            pcm[2 * i] = static_cast<std::int16_t>(8000.0 * std::sin(phase));
            pcm[2 * i + 1] = static_cast<std::int16_t>(8000.0 * std::sin(1.5 * phase));
        }
        return pcm;
    }

    // Frames a gapless decoder gives back, or -1 when it cannot read the file.
    std::int64_t decodedFrames() const {
        mpg123_init();
        int error = 0;
        mpg123_handle* handle = mpg123_new(nullptr, &error);
        if (handle == nullptr) return -1;
        mpg123_param(handle, MPG123_FLAGS, MPG123_GAPLESS | MPG123_QUIET, 0.0);
        std::int64_t frames = -1;
        if (mpg123_open(handle, path_.c_str()) == MPG123_OK && mpg123_scan(handle) == MPG123_OK) {
            frames = mpg123_length(handle);
            mpg123_close(handle);
        }
        mpg123_delete(handle);
        return frames;
    }

    std::filesystem::path path_;
};

TEST_F(MusicEncoder, WritesAnMpegStreamThatDecodesToExactlyTheInputLength) {
    const std::size_t frames = 44100 + 777;  // not a whole number of MP3 frames
    ASSERT_TRUE(encodeMp3(path_, tone(frames), 44100, 192));
    std::ifstream file(path_, std::ios::binary);
    unsigned char head[3] = {};
    ASSERT_TRUE(file.read(reinterpret_cast<char*>(head), 3));
    const bool id3 = head[0] == 'I' && head[1] == 'D' && head[2] == '3';
    const bool frameSync = head[0] == 0xFF && (head[1] & 0xE0) == 0xE0;
    EXPECT_TRUE(id3 || frameSync);
    EXPECT_EQ(decodedFrames(), static_cast<std::int64_t>(frames));
}

TEST_F(MusicEncoder, StreamingWritesMatchOneWholeWrite) {
    const auto pcm = tone(30000);
    ASSERT_TRUE(encodeMp3(path_, pcm, 44100, 128));
    std::ifstream whole(path_, std::ios::binary);
    const std::string wholeBytes((std::istreambuf_iterator<char>(whole)), {});

    Mp3Encoder encoder;
    ASSERT_TRUE(encoder.open(path_, 44100, 128));
    const std::span<const std::int16_t> all(pcm);
    ASSERT_TRUE(encoder.write(all.first(2 * 1001)));
    ASSERT_TRUE(encoder.write(all.subspan(2 * 1001)));
    ASSERT_TRUE(encoder.finish());
    std::ifstream pieces(path_, std::ios::binary);
    const std::string pieceBytes((std::istreambuf_iterator<char>(pieces)), {});
    EXPECT_EQ(pieceBytes, wholeBytes);
}

TEST_F(MusicEncoder, RefusesBadInputAndLeavesNoFile) {
    const auto pcm = tone(1000);
    const std::span<const std::int16_t> odd = std::span<const std::int16_t>(pcm).first(2 * 1000 - 1);
    EXPECT_FALSE(encodeMp3(path_, odd, 44100, 192));
    EXPECT_FALSE(std::filesystem::exists(path_));
    EXPECT_FALSE(encodeMp3(path_, pcm, 0, 192));
    EXPECT_FALSE(encodeMp3(path_, pcm, 44100, -5));
    EXPECT_FALSE(std::filesystem::exists(path_));
    EXPECT_FALSE(encodeMp3(path_.parent_path() / "no-such-folder-velkarn" / "x.mp3", pcm, 44100, 192));

    Mp3Encoder unopened;
    EXPECT_FALSE(unopened.write(pcm));
    EXPECT_FALSE(unopened.finish());
}

}  // namespace
