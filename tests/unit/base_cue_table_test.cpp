// The demo's moments are written once, in the cue table: the music's turns come from it, and
// the README's music table and the data files' section records must sit on its cues.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>
#include <sstream>
#include <string>

#include "base/beat_grid.h"
#include "base/cue_times.h"
#include "render/layer_list.h"
#include "synth.h"
#include "testing/scratch_files.h"
#include "timeline/tuning.h"

namespace {

const std::string kSource = VELKARN_SOURCE_DIR;

bool onCue(float t) {
    return std::any_of(kCues.begin(), kCues.end(), [t](const Cue& cue) { return cue.seconds() == t; });
}

bool onBarLine(float t) {
    const long bar = std::lround(t / kBarLength);
    return t == static_cast<float>(bar * kBeatHundredths * kBeatsPerBar) / 100.0f;
}

TuningList tuningFile(TuningKind kind, int maxRecords, const char* path) {
    TuningList list{kind, maxRecords};
    parseTuningText(list, testfiles::readFile(kSource + "/" + path), path);
    return list;
}

}  // namespace

TEST(BaseCueTable, InOrderNamedOnceAndReadAsWritten) {
    std::set<std::string> names;
    for (std::size_t i = 0; i < kCues.size(); ++i) {
        const Cue& cue = kCues[i];
        SCOPED_TRACE(cue.name);
        EXPECT_TRUE(i == 0 || kCues[i - 1].hundredths < cue.hundredths) << "out of order";
        EXPECT_TRUE(names.insert(cue.name).second) << "named twice";
        EXPECT_EQ(std::string(cue.name).find_first_not_of("abcdefghijklmnopqrstuvwxyz-"), std::string::npos);
        // The picture's float and the music's double are the literal's own.
        const std::string text = hundredthsText(cue.hundredths);
        EXPECT_EQ(std::strtof(text.c_str(), nullptr), cue.seconds()) << text;
        EXPECT_EQ(std::strtod(text.c_str(), nullptr), cue.exactSeconds()) << text;
    }
    const std::pair<std::int32_t, const char*> texts[] = {{9105, "91.05"}, {4500, "45"}, {5850, "58.5"},
                                                          {5, "0.05"},     {0, "0"},     {-150, "-1.5"}};
    for (const auto& [hundredths, text] : texts) EXPECT_EQ(hundredthsText(hundredths), text);
    EXPECT_EQ(synth::kBeatSamples, 35721) << "0.81 s at 44.1 kHz";
    EXPECT_EQ(kBeatLength, 0.81f);
}

// Each row of the music table names its turn and the bar line its phrases start on.
TEST(BaseCueTable, ReadmeMusicTableFollowsTheTurns) {
    std::istringstream readme(testfiles::readFile(kSource + "/README.md"));
    std::string line;
    while (std::getline(readme, line) && line.rfind("| Turn (first bar) |", 0) != 0) {
    }
    ASSERT_FALSE(readme.eof()) << "no music table in the README";
    std::getline(readme, line);  // |---|
    std::size_t row = 0;
    while (std::getline(readme, line) && line.rfind("| ", 0) == 0) {
        const std::string first = line.substr(2, line.find(" |", 2) - 2);
        if (row == 0) {
            EXPECT_EQ(first, "0 s (0 s)");
        } else if (row <= kMusicTurnCount) {
            const Cue& turn = kMusicTurns[row - 1];
            const auto bar = static_cast<std::int32_t>(synth::sectionFirstBar(static_cast<int>(row)));
            EXPECT_EQ(first, hundredthsText(turn.hundredths) + " s (" +
                                 hundredthsText(bar * kBeatHundredths * kBeatsPerBar) + " s)")
                << "the row of " << turn.name;
        }
        ++row;
    }
    EXPECT_EQ(row, kMusicTurnCount + 1) << "one row for the intro and one per turn";
}

// The overlay switches on cues; the negative flashes start on cues or bar lines; a layer
// starts on a cue or where another ends.
TEST(BaseCueTable, DataFilesSwitchOnTheCues) {
    const TuningList kszak = tuningFile(TuningKind::Kszak, 100, kKszakListPath);
    ASSERT_GT(kszak.count, 0);
    for (int i = 0; i < kszak.count; ++i) {
        EXPECT_TRUE(onCue(kszak.records[i].time)) << kKszakListPath << ": " << kszak.records[i].time;
    }
    const TuningList negative = tuningFile(TuningKind::Negative, 99, kNegativeListPath);
    ASSERT_GT(negative.count, 0);
    for (int i = 0; i < negative.count; ++i) {
        const TuningRecord& record = negative.records[i];
        EXPECT_TRUE(record.switchValue != 1 || onCue(record.time) || onBarLine(record.time))
            << kNegativeListPath << ": " << record.time;
    }
    const LayerReadResult layers = readLayerGroups(testfiles::readFile(kSource + "/" + kBlendLayerFile));
    ASSERT_FALSE(layers.groups.empty());
    for (const LayerGroup& layer : layers.groups) {
        const float start = parseLayerTime(layer.start);
        const bool afterAnother = std::any_of(layers.groups.begin(), layers.groups.end(), [&](const LayerGroup& other) {
            return parseLayerTime(other.end) == start;
        });
        EXPECT_TRUE(onCue(start) || afterAnother) << kBlendLayerFile << ": " << layer.start << ' ' << layer.image;
    }
}
