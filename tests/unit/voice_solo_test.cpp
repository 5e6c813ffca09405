// The voices rendered alone for measuring: each holds only its own notes, and together they
// make the mix wherever the limiter leaves the sound alone, the duck included.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "synth.h"
#include "voice_solo.h"

TEST(VoiceSolo, VoicesAddUpToTheMixBelowTheLimiter) {
    const synth::Score score = synth::composeTrack();
    // Over a kick and the music it ducks, with bass, pluck, pad and lead sounding (66 s).
    const std::int64_t first = synth::secondsToSample(66.0);
    const std::size_t count = synth::kSampleRate / 2;
    std::vector<float> mixLeft(count), mixRight(count), sumLeft(count, 0.0f), sumRight(count, 0.0f);
    synth::renderMix(score, first, mixLeft, mixRight);
    std::vector<bool> transparent(count, true);
    const auto mark = [&](const std::vector<float>& left, const std::vector<float>& right) {
        for (std::size_t i = 0; i < count; ++i) {
            const float below = synth::kLimitThreshold - 0.01f;
            if (std::fabs(left[i]) > below || std::fabs(right[i]) > below) transparent[i] = false;
        }
    };
    mark(mixLeft, mixRight);
    std::set<std::string> names;
    std::size_t notes = 0;
    for (const synth::Voice voice : kAllVoices) {
        const synth::Score solo = soloScore(score, voice);
        EXPECT_TRUE(
            std::all_of(solo.notes.begin(), solo.notes.end(), [voice](const auto& n) { return n.voice == voice; }));
        notes += solo.notes.size();
        names.insert(std::string(voiceName(voice)));
        std::vector<float> left(count), right(count);
        synth::renderMix(solo, first, left, right);
        mark(left, right);
        for (std::size_t i = 0; i < count; ++i) {
            sumLeft[i] += left[i];
            sumRight[i] += right[i];
        }
    }
    EXPECT_EQ(notes, score.notes.size());
    EXPECT_EQ(names.size(), kAllVoices.size());

    std::size_t compared = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (!transparent[i]) continue;
        ++compared;
        // The room and the DC filter round each voice's sum their own way: within a 16-bit step.
        ASSERT_NEAR(sumLeft[i], mixLeft[i], 3e-5f) << i;
        ASSERT_NEAR(sumRight[i], mixRight[i], 3e-5f) << i;
    }
    EXPECT_GT(compared, count / 2);
}
