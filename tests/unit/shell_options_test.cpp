#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/options.h"

namespace {

struct Parsed {
    std::vector<std::string> words;
    std::vector<char*> argv;
    int argc = 0;
    DemoOptions options;
    OptionsResult result;
};

Parsed parse(std::vector<std::string> words) {
    Parsed p;
    p.words = std::move(words);
    for (auto& w : p.words) p.argv.push_back(w.data());
    p.argv.push_back(nullptr);
    p.argc = static_cast<int>(p.words.size());
    p.result = parseDemoOptions(p.argc, p.argv.data(), p.options);
    return p;
}

}  // namespace

TEST(ShellOptions, OwnOptionsAreRemovedSoResolutionArgumentsKeepTheirCount) {
    Parsed p = parse({"velkarn", "--start", "12.5", "800", "--silent", "600", "--no-dialogs"});
    ASSERT_TRUE(p.result.ok) << p.result.error;
    EXPECT_EQ(p.argc, 3);
    EXPECT_STREQ(p.argv[1], "800");
    EXPECT_STREQ(p.argv[2], "600");
    EXPECT_EQ(p.argv[3], nullptr);
    EXPECT_DOUBLE_EQ(*p.options.start, 12.5);
    EXPECT_TRUE(p.options.silent);
    EXPECT_TRUE(p.options.noDialogs);
}

TEST(ShellOptions, ValuesAfterEqualsAndCapture) {
    Parsed p = parse({"velkarn", "--capture=out", "--fps=4", "--end", "30", "--stats", "frames.csv"});
    ASSERT_TRUE(p.result.ok) << p.result.error;
    EXPECT_EQ(p.options.captureDir, "out");
    EXPECT_EQ(*p.options.fps, 4);
    EXPECT_DOUBLE_EQ(*p.options.end, 30.0);
    EXPECT_TRUE(p.options.stats);
    EXPECT_EQ(p.options.statsFile, "frames.csv");
    EXPECT_EQ(p.argc, 1);
}

TEST(ShellOptions, StatsWithoutFileLeavesFollowingArguments) {
    Parsed p = parse({"velkarn", "--stats", "640", "360"});
    ASSERT_TRUE(p.result.ok);
    EXPECT_TRUE(p.options.statsFile.empty());
    EXPECT_EQ(p.argc, 3);
}

TEST(ShellOptions, BadInputIsRejectedWithAMessage) {
    for (const auto& words : std::vector<std::vector<std::string>>{
             {"velkarn", "--frobnicate"},
             {"velkarn", "--start"},
             {"velkarn", "--start", "soon"},
             {"velkarn", "--start", "-3"},
             {"velkarn", "--start", "nan"},
             {"velkarn", "--start", "1e308"},
             {"velkarn", "--fps", "0"},
             {"velkarn", "--fps", "2.5"},
             {"velkarn", "--fps", "99999999999999999999"},
             {"velkarn", "--silent=yes"},
             {"velkarn", "--capture"},
             {"velkarn", "--start", "20", "--end", "10"},
             {"velkarn", "--capture", "a", "--video", "b.mp4"},
         }) {
        Parsed p = parse(words);
        EXPECT_FALSE(p.result.ok) << words.back();
        EXPECT_FALSE(p.result.error.empty());
    }
}

TEST(ShellOptions, SingleDashWordsAreLeftForGlut) {
    Parsed p = parse({"velkarn", "-display", ":1", "--help"});
    ASSERT_TRUE(p.result.ok);
    EXPECT_TRUE(p.options.help);
    EXPECT_EQ(p.argc, 3);
    EXPECT_STREQ(p.argv[1], "-display");
}
