#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "base/config.h"

// The three words as formatted extraction reads them (atoi, and exactly "fullscreen"),
// from each text and from each of its prefixes, as a file cut short gives them.
TEST(BaseConfig, ThreeWordsChooseSizeAndMode) {
    for (const std::string text : {"1280 720 window", "  800\n\t600   fullscreen\n", "800 600 FullScreen",
                                   "wide 720x fullscreen", "1280\t720\r\nfullscreen"}) {
        for (std::size_t n = 0; n <= text.size(); ++n) {
            std::istringstream words(text.substr(0, n)), in(text.substr(0, n));
            std::string width, height, mode;
            words >> width >> height >> mode;
            readConfigWords(in);
            EXPECT_EQ(std::tuple(screen.screenWidth, screen.screenHeight, screen.fullScreen),
                      std::tuple(std::atoi(width.c_str()), std::atoi(height.c_str()), mode == "fullscreen" ? 1 : 0))
                << '"' << text.substr(0, n) << '"';
        }
    }
    // A 200-character word is read as bounded words: the third word read is its rest.
    std::istringstream overlong(std::string(200, '7') + " 5 fullscreen");
    readConfigWords(overlong);
    EXPECT_EQ(screen.fullScreen, 0);
    formatGameMode("%s", std::string(300, 'x').c_str());
    EXPECT_EQ(std::strlen(screen.gameModeString), 79u);
}

// The size words after the program name, over the configuration (or its defaults when
// the file is missing): the message on standard output, one warning line on standard
// error for words that set nothing or are no numbers, and the size and game mode.
TEST(BaseConfig, SizeWordsOnTheCommandLine) {
    struct Case {
        const char* config;  // nullptr: no file
        std::string words;
        const char* out;
        const char* warning;  // a part of it, "" for none
        int width, height;
        const char* gameMode;
    };
    const char* const two = "Type resolution string in form demo.exe W H \n";
    for (const Case& c : std::vector<Case>{
             {nullptr, "", "", "", 1920, 1080, "1920x1080"},
             {"1280 720 fullscreen", "800 600", two, "", 800, 600, "800x600"},
             {nullptr, "1024 768 32 60", "You typed resolution string in form demo.exe W H D R\n", "", 1024, 768,
              "1024x768:32@60"},
             {nullptr, "640 480 16", "", "ignoring \"640 480 16\"", 1920, 1080, "1920x1080"},
             {nullptr, "wide tall", two, "not all whole numbers", 0, 0, "0x0"},
         }) {
        SCOPED_TRACE(c.words);
        screen.screenWidth = 1920;
        screen.screenHeight = 1080;
        screen.fullScreen = 1;
        std::istringstream config(c.config != nullptr ? c.config : ""), split(c.words);
        c.config != nullptr ? readConfigWords(config) : readConfigFile("no-such-config-file.dat");
        std::vector<std::string> words = {"velkarn"};
        std::vector<char*> argv;
        for (std::string word; split >> word;) words.push_back(word);
        for (std::string& word : words) argv.push_back(word.data());
        argv.push_back(nullptr);
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
        EXPECT_EQ(
            std::tuple(screen.screenWidth, screen.screenHeight, screen.fullScreen, std::string(screen.gameModeString)),
            std::tuple(c.width, c.height, 1, std::string(c.gameMode)));
    }
}

TEST(BaseConfig, LetterboxOffsetAndPictureFittedCentredWithItsShape) {
    EXPECT_EQ(letterboxOffsetFor(1079, 1080), 0) << "-1 / 2 truncates toward zero";
    EXPECT_EQ(letterboxOffsetFor(1000, 1080), -40);
    // Window and picture sizes, and the picture's rectangle in the window.
    for (const auto& [ww, wh, pw, ph, x, y, w, h] : std::initializer_list<std::array<int, 8>>{
             {2560, 1440, 1920, 1080, 0, 0, 2560, 1440},   // same shape: fills
             {1366, 768, 1920, 1080, 0, 0, 1366, 768},     // 768.375 rounds to the screen
             {1281, 720, 1280, 720, 0, 0, 1280, 720},      // odd leftover stays on the right
             {2560, 1440, 1080, 1920, 875, 0, 810, 1440},  // portrait picture
             {0, 1080, 1920, 1080, 0, 0, 0, 0}}) {
        const WindowRect r = fitPicture(ww, wh, pw, ph);
        EXPECT_EQ(std::tuple(r.x, r.y, r.width, r.height), std::tuple(x, y, w, h)) << ww << "x" << wh;
    }
}
