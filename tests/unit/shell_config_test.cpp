#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "shell/config.h"

// The three words as formatted extraction reads them (atoi, and exactly "fullscreen"),
// from each text and from each of its prefixes, as a file cut short gives them.
TEST(ShellConfig, ThreeWordsChooseSizeAndMode) {
    for (const std::string text : {"1280 720 window", "  800\n\t600   fullscreen\n", "800 600 FullScreen",
                                   "wide 720x fullscreen", "1280\t720\r\nfullscreen"}) {
        for (std::size_t n = 0; n <= text.size(); ++n) {
            std::istringstream words(text.substr(0, n)), in(text.substr(0, n));
            std::string width, height, mode;
            words >> width >> height >> mode;
            readConfigWords(in);
            EXPECT_EQ(std::tuple(screenWidth, screenHeight, fullScreen),
                      std::tuple(std::atoi(width.c_str()), std::atoi(height.c_str()), mode == "fullscreen" ? 1 : 0))
                << '"' << text.substr(0, n) << '"';
        }
    }
    // A 200-character word is read as bounded words: the third word read is its rest.
    std::istringstream overlong(std::string(200, '7') + " 5 fullscreen");
    readConfigWords(overlong);
    EXPECT_EQ(fullScreen, 0);
    formatGameMode("%s", std::string(300, 'x').c_str());
    EXPECT_EQ(std::strlen(gameModeString), 79u);
}

// The size words after the program name, over the configuration (or its defaults when
// the file is missing): the message on standard output, a warning line on standard
// error for words that set nothing or are no numbers, and the size and game mode.
TEST(ShellConfig, SizeWordsOnTheCommandLine) {
    struct Case {
        const char* config;  // nullptr: no file
        std::vector<std::string> words;
        const char* out;
        const char* warning;  // a part of it, "" for none
        int width, height;
        const char* gameMode;
    };
    const char* const two = "Type resolution string in form demo.exe W H \n";
    for (const Case& c : std::vector<Case>{
             {nullptr, {}, "", "", 1920, 1080, "1920x1080"},
             {"1280 720 fullscreen", {"800", "600"}, two, "", 800, 600, "800x600"},
             {nullptr, {"1024", "768", "32", "60"}, "You typed resolution string in form demo.exe W H D R\n", "", 1024,
              768, "1024x768:32@60"},
             {nullptr, {"640", "480", "16"}, "", "ignoring \"640 480 16\"", 1920, 1080, "1920x1080"},
             {nullptr, {"640x360"}, "", "ignoring \"640x360\"", 1920, 1080, "1920x1080"},
             {nullptr, {"640", "360", "24", "60", "1"}, "", "ignoring", 1920, 1080, "1920x1080"},
             {nullptr, {"wide", "tall"}, two, "not all whole numbers", 0, 0, "0x0"},
             {nullptr, {"1280", "720.5"}, two, "not all whole numbers", 1280, 720, "1280x720"},
         }) {
        screenWidth = 1920;
        screenHeight = 1080;
        fullScreen = 1;
        std::istringstream config(c.config != nullptr ? c.config : "");
        c.config != nullptr ? readConfigWords(config) : readConfigFile("no-such-config-file.dat");
        std::vector<std::string> words = {"velkarn"};
        words.insert(words.end(), c.words.begin(), c.words.end());
        std::vector<char*> argv;
        for (std::string& word : words) argv.push_back(word.data());
        argv.push_back(nullptr);
        SCOPED_TRACE(::testing::PrintToString(c.words));
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        applyResolutionArguments(static_cast<int>(words.size()), argv.data());
        const std::string error = testing::internal::GetCapturedStderr();
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.out);
        EXPECT_EQ(error.empty(), *c.warning == '\0') << error;
        EXPECT_NE(error.find(c.warning), std::string::npos) << error;
        EXPECT_TRUE(error.empty() || (error.find("W H") != std::string::npos && error.find('\n') == error.size() - 1))
            << "one line that says how: " << error;
        // The command line never changes the mode.
        EXPECT_EQ(std::tuple(screenWidth, screenHeight, fullScreen, std::string(gameModeString)),
                  std::tuple(c.width, c.height, 1, std::string(c.gameMode)));
    }
}

TEST(ShellConfig, LetterboxOffsetAndPictureFittedCentredWithItsShape) {
    EXPECT_EQ(letterboxOffsetFor(1200, 1080), 60);
    EXPECT_EQ(letterboxOffsetFor(1079, 1080), 0) << "-1 / 2 truncates toward zero";
    EXPECT_EQ(letterboxOffsetFor(1000, 1080), -40);
    struct Case {
        int windowWidth, windowHeight, pictureWidth, pictureHeight;
        WindowRect expected;
    };
    for (const Case& c : {
             Case{2560, 1440, 1920, 1080, {0, 0, 2560, 1440}},    // same shape: fills
             Case{1366, 768, 1920, 1080, {0, 0, 1366, 768}},      // 768.375 rounds to the screen
             Case{2560, 1080, 1920, 1080, {320, 0, 1920, 1080}},  // wider: bars left and right
             Case{1600, 1200, 1920, 1080, {0, 150, 1600, 900}},   // taller: bars above and below
             Case{1281, 720, 1280, 720, {0, 0, 1280, 720}},       // odd leftover stays on the right
             Case{2560, 1440, 1080, 1920, {875, 0, 810, 1440}},   // portrait picture
             Case{0, 1080, 1920, 1080, {}},
         }) {
        const WindowRect r = fitPicture(c.windowWidth, c.windowHeight, c.pictureWidth, c.pictureHeight);
        EXPECT_EQ(r, c.expected) << c.windowWidth << "x" << c.windowHeight << " gives " << r.x << "," << r.y << " "
                                 << r.width << "x" << r.height;
    }
}
