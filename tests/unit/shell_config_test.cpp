#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "shell/config.h"
#include "testing/capture_stdout.h"

namespace {

void resetConfig() {
    screenWidth = 1920;
    screenHeight = 1080;
    fullScreen = 1;
    gameModeString[0] = '\0';
}

struct Args {
    std::vector<std::string> words;
    std::vector<char*> pointers;
    explicit Args(std::vector<std::string> w) : words(std::move(w)) {
        for (auto& word : words) pointers.push_back(word.data());
        pointers.push_back(nullptr);
    }
    int argc() const { return static_cast<int>(words.size()); }
    char** argv() { return pointers.data(); }
};

}  // namespace

TEST(ShellConfig, DefaultsRequestFullScreen1920x1080) {
    resetConfig();
    readConfigFile("no-such-config-file.dat");
    Args args({"velkarn"});
    applyResolutionArguments(args.argc(), args.argv());
    EXPECT_EQ(screenWidth, 1920);
    EXPECT_EQ(screenHeight, 1080);
    EXPECT_EQ(fullScreen, 1);
    EXPECT_STREQ(gameModeString, "1920x1080");
}

TEST(ShellConfig, ThreeWordsChooseSizeAndMode) {
    resetConfig();
    std::istringstream window("1280 720 window");
    readConfigWords(window);
    EXPECT_EQ(screenWidth, 1280);
    EXPECT_EQ(screenHeight, 720);
    EXPECT_EQ(fullScreen, 0);

    std::istringstream full("  800\n\t600   fullscreen\n");
    readConfigWords(full);
    EXPECT_EQ(screenWidth, 800);
    EXPECT_EQ(fullScreen, 1);

    std::istringstream caseMatters("800 600 FullScreen");
    readConfigWords(caseMatters);
    EXPECT_EQ(fullScreen, 0);
}

TEST(ShellConfig, MissingAndMalformedWordsGiveZeroAndWindow) {
    resetConfig();
    std::istringstream empty("");
    readConfigWords(empty);
    EXPECT_EQ(screenWidth, 0);
    EXPECT_EQ(screenHeight, 0);
    EXPECT_EQ(fullScreen, 0);

    std::istringstream words("wide 720x fullscreen");
    readConfigWords(words);
    EXPECT_EQ(screenWidth, 0);
    EXPECT_EQ(screenHeight, 720);
    EXPECT_EQ(fullScreen, 1);
}

TEST(ShellConfig, OverlongWordsAreBoundedAt79Characters) {
    resetConfig();
    // A 200-character first word is read as two bounded words; nothing overflows.
    std::istringstream in(std::string(200, '7') + " 5 fullscreen");
    readConfigWords(in);
    EXPECT_EQ(fullScreen, 0);  // the third word read is the rest of the long word
}

TEST(ShellConfig, TwoArgumentsOverrideSizeWithMessage) {
    resetConfig();
    std::istringstream full("1280 720 fullscreen");
    readConfigWords(full);
    Args args({"velkarn", "800", "600"});
    const std::string out = testing_support::captureStdout([&] { applyResolutionArguments(args.argc(), args.argv()); });
    EXPECT_EQ(out, "Type resolution string in form demo.exe W H \n");
    EXPECT_EQ(screenWidth, 800);
    EXPECT_EQ(screenHeight, 600);
    EXPECT_EQ(fullScreen, 1);
    EXPECT_STREQ(gameModeString, "800x600");
}

TEST(ShellConfig, FourArgumentsFormatDepthAndRefresh) {
    resetConfig();
    Args args({"velkarn", "1024", "768", "32", "60"});
    const std::string out = testing_support::captureStdout([&] { applyResolutionArguments(args.argc(), args.argv()); });
    EXPECT_EQ(out, "You typed resolution string in form demo.exe W H D R\n");
    EXPECT_STREQ(gameModeString, "1024x768:32@60");
    EXPECT_EQ(screenWidth, 1024);
}

TEST(ShellConfig, OtherArgumentCountsAreIgnored) {
    resetConfig();
    Args three({"velkarn", "640", "480", "16"});
    const std::string out = testing_support::captureStdout([&] { applyResolutionArguments(three.argc(), three.argv()); });
    EXPECT_EQ(out, "");
    EXPECT_EQ(screenWidth, 1920);
    EXPECT_STREQ(gameModeString, "1920x1080");
}

// Size words that set nothing, or are no numbers, get one warning line; good ones none.
TEST(ShellConfig, SizeWordsWarning) {
    struct Case {
        std::vector<std::string> words;
        const char* expected;  // part of the warning, "" for none
    };
    for (const Case& c : std::vector<Case>{
             {{"velkarn"}, ""},
             {{"velkarn", "800", "600"}, ""},
             {{"velkarn", "1024", "768", "32", "60"}, ""},
             {{"velkarn", "help"}, "ignoring \"help\""},
             {{"velkarn", "640x360"}, "ignoring \"640x360\""},
             {{"velkarn", "640", "360", "24"}, "ignoring \"640 360 24\""},
             {{"velkarn", "640", "360", "24", "60", "1"}, "ignoring"},
             {{"velkarn", "wide", "tall"}, "not all whole numbers"},
             {{"velkarn", "1280", "720.5"}, "not all whole numbers"},
         }) {
        Args args(c.words);
        const std::string warning = sizeWordsWarning(args.argc(), args.argv());
        if (*c.expected == '\0') {
            EXPECT_EQ(warning, "") << c.words.size();
        } else {
            EXPECT_NE(warning.find(c.expected), std::string::npos) << warning;
            EXPECT_NE(warning.find("W H"), std::string::npos) << warning;
            EXPECT_EQ(warning.find('\n'), std::string::npos) << warning;
        }
    }
}

TEST(ShellConfig, GameModeStringIsBounded) {
    formatGameMode("%s", std::string(300, 'x').c_str());
    EXPECT_EQ(std::strlen(gameModeString), 79u);
}

TEST(ShellConfig, LetterboxOffsetTruncatesTowardZero) {
    EXPECT_EQ(letterboxOffsetFor(1200, 1080), 60);
    EXPECT_EQ(letterboxOffsetFor(1079, 1080), 0);
    EXPECT_EQ(letterboxOffsetFor(1000, 1080), -40);
    EXPECT_EQ(letterboxOffsetFor(1080, 1080), 0);
}

TEST(ShellConfig, PictureFitsTheWindowCentredWithItsShape) {
    struct Case {
        int windowWidth, windowHeight, pictureWidth, pictureHeight;
        WindowRect expected;
    };
    const Case cases[] = {
        {2560, 1440, 1920, 1080, {0, 0, 2560, 1440}},    // same shape: fills
        {1366, 768, 1920, 1080, {0, 0, 1366, 768}},      // 768.375 rounds to the screen
        {2560, 1080, 1920, 1080, {320, 0, 1920, 1080}},  // wider: bars left and right
        {1600, 1200, 1920, 1080, {0, 150, 1600, 900}},   // taller: bars above and below
        {1920, 1080, 1920, 1080, {0, 0, 1920, 1080}},
        {1281, 720, 1280, 720, {0, 0, 1280, 720}},       // odd leftover stays on the right
        {2560, 1440, 1080, 1920, {875, 0, 810, 1440}},   // portrait picture
        {0, 1080, 1920, 1080, {}},
        {1920, 0, 1920, 1080, {}},
    };
    for (const Case& c : cases) {
        const WindowRect r = fitPicture(c.windowWidth, c.windowHeight, c.pictureWidth, c.pictureHeight);
        EXPECT_EQ(r, c.expected) << c.windowWidth << "x" << c.windowHeight << " gives " << r.x << "," << r.y << " "
                                 << r.width << "x" << r.height;
    }
}

TEST(ShellConfig, FixedProjectionIsTheSinglePrecisionFrustum) {
    const float n = 0.005f;
    const float f = 1000.0f;
    const float expected[16] = {1, 0, 0, 0, 0, 1.25f, 0, 0, 0, 0, -(f + n) / (f - n), -1, 0, 0, -2 * f * n / (f - n), 0};
    for (int i = 0; i < 16; ++i) EXPECT_EQ(fixedProjection[i], expected[i]) << "entry " << i;
    EXPECT_EQ(fixedProjection[10], -1.00001f);
    EXPECT_EQ(fixedProjection[14], -0.01000005f);
}
