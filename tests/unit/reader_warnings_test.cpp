// Malformed records of the layer list and the tuning files: one warning line on standard
// error naming the file and the record, while the reading stays as it is.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "testing/fluid_support.h"
#include "render/layer_list.h"

namespace {

// Reads text as the named file; returns what was printed and how many records were kept.
std::pair<std::string, int> readAs(const std::string& file, const std::string& body) {
    const std::string text = "header\n" + body;
    testing::internal::CaptureStderr();
    int kept = 0;
    if (file == kBlendLayerFile) {
        std::istringstream in(text);
        const LayerReadResult read = readLayerGroups(in);
        printLayerWarnings(read);
        kept = static_cast<int>(read.groups.size());
    } else {
        TuningList* list = file == kNumListPath ? &numList
                           : file == kSizeListPath ? &sizeList
                           : file == kNegativeListPath ? &negativeList
                                                       : &kszakList;
        parseTuningText(*list, text, file.c_str());
        kept = list->count;
    }
    return {testing::internal::GetCapturedStderr(), kept};
}

TEST(ReaderWarnings, MalformedRecordsAreNamedAndTheRunGoesOn) {
    fluidtest::SavedFluidState saved;
    struct Case {
        const char* file;
        const char* body;
        const char* warning;  // a part of the first line, "" for none
        int lines;            // one per malformed record
        int kept;             // records read all the same, as before
    };
    const std::vector<Case> cases = {
        {kBlendLayerFile, "# a comment here\n10 20 dat/black.jpg multiply\n", "", 0, 1},
        {kBlendLayerFile, "10 20 dat/black.jpg sparkle\n",
         "dat/p-blend.dat: record 1 (line 2): the effect \"sparkle\" is not one of", 1, 1},
        {kBlendLayerFile, "soon 20 0 blur\n", "record 1 (line 2): the start \"soon\" is not a number", 1, 1},
        // A three-word comment shifts the words after it.
        {kBlendLayerFile, "# three words\n10 20 0 blur\n30 40 0 blur 50\n", "record 2 (line 3): the effect \"30\"", 2, 2},
        {kBlendLayerFile, "\n# a b c\n1 2 0 blur\n3 4 0\n",
         "record 3 (line 5) is cut short by the end of the file: 3 of its 4 words", 1, 1},
        // Five words on a line: the next record starts with the fifth.
        {kBlendLayerFile, "10 20 dat/a.jpg overlay 64.1\n30 40 dat/b.jpg blur\n",
         "record 2 (line 2): the effect \"dat/b.jpg\"", 2, 2},
        {kNumListPath, "0 100000\n30 lots\n", "dat/p-num.dat: record 2 (line 3): the count \"lots\" is not a number", 1, 2},
        {kNumListPath, "# note\n", "the time \"#\" is not a number (only p-kszak.dat has comments)", 1, 1},
        {kSizeListPath, "0 1 6 20\n40 2 9\n",
         "dat/p-size.dat: record 2 (line 3) is cut short by the end of the file: 3 of its 4 words", 1, 1},
        {kNegativeListPath, "-1 0\n12.5 on\n", "dat/p-negative.dat: record 2 (line 3): the switch \"on\"", 1, 2},
        {kKszakListPath, "# note\n10 1\n", "", 0, 1},
        {kKszakListPath, "# three words\n10 1\n", "record 2 (line 2): the time \"words\" is not a number", 2, 1},
    };
    for (const Case& c : cases) {
        const auto [printed, kept] = readAs(c.file, c.body);
        EXPECT_EQ(kept, c.kept) << c.file << ": " << c.body;
        EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), c.lines) << c.body << "gave: " << printed;
        EXPECT_NE(printed.substr(0, printed.find('\n')).find(c.warning), std::string::npos) << c.body << "gave: " << printed;
    }
}

}  // namespace
