// The tuning files' reading and schedules, and the warnings of their reader and the layer
// list's, which share one form.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <tuple>
#include <vector>

#include "render/layer_list.h"
#include "testing/fluid_support.h"
#include "timeline/layer_state.h"

namespace {

void load(TuningList& list, const std::string& body) { parseTuningText(list, "header line\n" + body, "test.dat"); }

// Each list applies at most one record a frame, in file order, strictly after its time.
TEST(Tuning, SchedulesApplyOneRecordPerFrameAfterItsTime) {
    fluidtest::SavedFluidState saved;
    load(tuning.numList, "1 100\n2 200\n50 300\n3 400\n60 250000\n");
    load(tuning.sizeList, "40 2 9 10\n");
    load(tuning.negativeList, "0 0\n12.5 1\n");
    load(tuning.kszakList, "3.25 1\n");
    std::tie(particles.particleCount, layers.negativeOn, layers.overlayOn, particles.sizeLayerCount) = std::tuple(
        5, 1, 0, 20);
    // Calls 'a' apply, 'r' reset the cursors and apply, at t; the values after it.
    struct Step {
        char call;
        float t;
        int count, negative, overlay, layers;
    };
    const Step steps[] = {
        {'a', 0.0f, 5, 1, 0, 20},  // a record at 0 s waits for a time above it
        {'a', 1.0f, 5, 0, 0, 20},
        {'a', 3.3f, 100, 0, 1, 20},
        {'a', 3.3f, 200, 0, 1, 20},
        {'a', 3.3f, 200, 0, 1, 20},  // the record for 50 s holds back the one for 3 s behind it
        {'a', 12.4f, 200, 0, 1, 20},
        {'a', 12.6f, 200, 1, 1, 20},  // float times as written
        {'a', 51.0f, 300, 1, 1, 10},
        {'a', 51.0f, 400, 1, 1, 10},
        {'a', 61.0f, kMaxParticles, 1, 1, 10},  // capped
        {'r', 0.5f, kMaxParticles, 0, 1, 10},
        {'a', 30.0f, 100, 1, 1, 10},  // from the first record again, one a call
        {'a', 30.0f, 200, 1, 1, 10},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(testing::Message() << s.call << " at " << s.t);
        if (s.call == 'r') resetTuningCursors();
        applyTuningSchedules(s.t);
        EXPECT_EQ(std::tie(particles.particleCount, layers.negativeOn, layers.overlayOn, particles.sizeLayerCount),
                  std::tie(s.count, s.negative, s.overlay, s.layers));
    }
    EXPECT_EQ(std::tuple(particles.MIN_PAR, particles.MAX_PAR), std::tuple(2.0f, 9.0f));
}

TEST(Tuning, WordsConvertLikeAtoiAndAtofAndSaturate) {
    fluidtest::SavedFluidState saved;
    testing::internal::CaptureStderr();
    load(tuning.numList, "12.9 3e2\nabc 77.9x\n# 5\n5 1e30\n6 -1e30\n7 nan\n");  // p-num times are whole seconds
    load(tuning.sizeList, "7.8 -2\n+4 99999999999 1 2\t3\r\n4");                 // records span lines freely
    testing::internal::GetCapturedStderr();
    using Records = std::vector<TuningRecord>;
    auto read = [](const TuningList& list) { return Records(list.records.begin(), list.records.begin() + list.count); };
    EXPECT_EQ(read(tuning.numList), (Records{{.time = 12, .count = 300},
                                             {.time = 0, .count = 77},
                                             {.time = 0, .count = 5},
                                             {.time = 5, .count = INT_MAX},
                                             {.time = 6, .count = INT_MIN},
                                             {.time = 7, .count = 0}}));
    EXPECT_EQ(read(tuning.sizeList), (Records{{.time = 7, .minSize = -2, .maxSize = 4, .layers = INT_MAX},
                                              {.time = 1, .minSize = 2, .maxSize = 3, .layers = 4}}));
    tuning.sizeList.cursor = 1;
    testing::internal::CaptureStderr();
    loadTuningFile(tuning.sizeList, "/nonexistent/velkarn/p-size.dat");  // a missing file: an empty list, silently
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(tuning.sizeList.count + tuning.sizeList.cursor, 0);
}

// Reads text as the named file; returns what was printed and how many records were kept.
std::pair<std::string, int> readAs(const std::string& file, const std::string& text) {
    testing::internal::CaptureStderr();
    int kept = 0;
    if (file == kBlendLayerFile) {
        const LayerReadResult read = readLayerGroups(text);
        printLayerWarnings(read, kBlendLayerFile);
        kept = static_cast<int>(read.groups.size());
    } else {
        TuningList* list = file == kNumListPath        ? &tuning.numList
                           : file == kSizeListPath     ? &tuning.sizeList
                           : file == kNegativeListPath ? &tuning.negativeList
                                                       : &tuning.kszakList;
        parseTuningText(*list, text, file.c_str());
        kept = list->count;
    }
    return {testing::internal::GetCapturedStderr(), kept};
}

std::string records(int n) {
    std::string text;
    for (int i = 0; i < n; ++i) text += std::to_string(i) + " 1\n";
    return text;
}

// Malformed records: one warning line naming the file and the record, while the reading
// stays as it is.
TEST(ReaderWarnings, MalformedRecordsAreNamedAndTheRunGoesOn) {
    fluidtest::SavedFluidState saved;
    // The warning is a part of the first line ("" for none), one line per malformed record;
    // kept are the records read all the same.
    struct Case {
        const char* file;
        std::string body;
        const char* warning;
        int lines, kept;
        std::string header = "header";
    };
    const std::vector<Case> cases = {
        {kBlendLayerFile, "# a comment here\n10 20 dat/black.jpg multiply\n", "", 0, 1},
        {kBlendLayerFile, "10 20 dat/black.jpg sparkle\n",
         "dat/p-blend.dat: record 1 (line 2): the effect \"sparkle\" is not one of", 1, 1},
        {kBlendLayerFile, "soon 20 0 blur\n", "record 1 (line 2): the start \"soon\" is not a number", 1, 1},
        // A three-word comment shifts the words after it.
        {kBlendLayerFile, "# three words\n10 20 0 blur\n30 40 0 blur 50\n", "record 2 (line 3): the effect \"30\"", 2,
         2},
        {kBlendLayerFile, "\n# a b c\n1 2 0 blur\n3 4 0\n",
         "record 3 (line 5) is cut short by the end of the file: 3 of its 4 words", 1, 1},
        // Five words on a line: the next record starts with the fifth.
        {kBlendLayerFile, "10 20 dat/a.jpg overlay 64.1\n30 40 dat/b.jpg blur\n",
         "record 2 (line 2): the effect \"dat/b.jpg\"", 2, 2},
        {kNumListPath, "0 100000\n30 lots\n", "dat/p-num.dat: record 2 (line 3): the count \"lots\" is not a number", 1,
         2},
        {kNumListPath, "# note\n", "the time \"#\" is not a number (only p-kszak.dat has comments)", 1, 1},
        {kSizeListPath, "0 1 6 20\n40 2 9\n",
         "dat/p-size.dat: record 2 (line 3) is cut short by the end of the file: 3 of its 4 words", 1, 1},
        {kNegativeListPath, "-1 0\n12.5 on\n", "dat/p-negative.dat: record 2 (line 3): the switch \"on\"", 1, 2},
        {kNegativeListPath, "1 0\n2", "record 2 (line 3) is cut short by the end of the file: 1 of its 2 words", 1, 1},
        {kNegativeListPath, "1 " + std::string(80, '0') + " 2 1\n", "words longer than 79 characters were cut", 1, 2},
        {kKszakListPath, "# note\n10 1\n#tag x 20 0\n", "", 0, 2},
        {kKszakListPath, "# three words\n10 1\n", "record 2 (line 2): the time \"words\" is not a number", 2, 1},
        // More records than the table holds: the rest is ignored; exactly as many is fine.
        {kNumListPath, records(120), "dat/p-num.dat: more than 99 records; the rest was ignored", 1, 99},
        {kKszakListPath, records(100) + "# trailing\n", "", 0, 100},
        // A header line longer than 254 characters, or none at all, leaves the list empty.
        {kNumListPath, "1 100\n", "", 0, 1, std::string(254, 'h')},
        {kNumListPath, "1 100\n", "", 0, 0, std::string(255, 'h')},
    };
    for (const Case& c : cases) {
        const auto [printed, kept] = readAs(c.file, c.header + "\n" + c.body);
        EXPECT_EQ(kept, c.kept) << c.file << ": " << c.body;
        EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), c.lines) << c.body << "gave: " << printed;
        EXPECT_NE(printed.substr(0, printed.find('\n')).find(c.warning), std::string::npos)
            << c.body << "gave: " << printed;
    }
    EXPECT_EQ(readAs(kNumListPath, "only a header").second, 0);
}

}  // namespace
