// The window and picture size: the configuration file, the size words of the command line,
// and the picture fitted into the window.
#include "base/config.h"

#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

ScreenState screen;

// The frustum's two non-trivial entries are the float values of -(f+n)/(f-n) and -2fn/(f-n).
const float fixedProjection[16] = {
    1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.25f, 0.0f, 0.0f, 0.0f, 0.0f, -1.00001f, -1.0f, 0.0f, 0.0f, -0.01000005f, 0.0f,
};

void formatGameMode(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vsnprintf(screen.gameModeString, sizeof screen.gameModeString, format, args);
    va_end(args);
}

namespace {

// One formatted word of at most 79 characters; empty at the end of the stream.
std::string readBoundedWord(std::istream& in) {
    std::string word;
    in >> std::ws;
    while (word.size() < 79) {
        const int c = in.peek();
        if (c == std::char_traits<char>::eof() || std::isspace(c)) break;
        word.push_back(static_cast<char>(in.get()));
    }
    return word;
}

}  // namespace

void readConfigWords(std::istream& in) {
    const std::string width = readBoundedWord(in);
    const std::string height = readBoundedWord(in);
    const std::string mode = readBoundedWord(in);
    screen.screenWidth = std::atoi(width.c_str());
    screen.screenHeight = std::atoi(height.c_str());
    screen.fullScreen = mode == "fullscreen" ? 1 : 0;
}

void readConfigFile(const char* path) {
    std::ifstream in(path);
    if (in.good()) readConfigWords(in);
}

std::string sizeWordsWarning(int argc, char** argv) {
    if (argc <= 1) return {};
    std::string words;
    bool numbers = true;
    for (int i = 1; i < argc; ++i) {
        char* end = nullptr;
        std::strtol(argv[i], &end, 10);
        numbers = numbers && end != argv[i] && *end == '\0';
        words += (i > 1 ? " " : "") + std::string(argv[i]);
    }
    const std::string how = "give a size as two whole numbers W H (or four, W H D R); --help lists the options";
    if (argc != 3 && argc != 5) return "velkarn: warning: ignoring \"" + words + "\": " + how;
    if (!numbers) return "velkarn: warning: \"" + words + "\" are not all whole numbers: " + how;
    return {};
}

void applyResolutionArguments(int argc, char** argv) {
    if (const std::string warning = sizeWordsWarning(argc, argv); !warning.empty()) {
        std::fprintf(stderr, "%s\n", warning.c_str());
    }
    formatGameMode("%dx%d", screen.screenWidth, screen.screenHeight);
    if (argc == 3) {
        std::cout << "Type resolution string in form demo.exe W H " << std::endl;
        screen.screenWidth = std::atoi(argv[1]);
        screen.screenHeight = std::atoi(argv[2]);
        formatGameMode("%dx%d", screen.screenWidth, screen.screenHeight);
    }
    if (argc == 5) {
        std::cout << "You typed resolution string in form demo.exe W H D R" << std::endl;
        screen.screenWidth = std::atoi(argv[1]);
        screen.screenHeight = std::atoi(argv[2]);
        const int depth = std::atoi(argv[3]);
        const int refresh = std::atoi(argv[4]);
        formatGameMode("%dx%d:%d@%d", screen.screenWidth, screen.screenHeight, depth, refresh);
    }
}

int letterboxOffsetFor(int windowHeight, int pictureHeight) { return (windowHeight - pictureHeight) / 2; }

WindowRect fitPicture(int windowWidth, int windowHeight, int pictureWidth, int pictureHeight) {
    if (windowWidth <= 0 || windowHeight <= 0 || pictureWidth <= 0 || pictureHeight <= 0) return {};
    // The full width if the height it needs fits, else the full height; rounded to the
    // nearest pixel, so a one-pixel rounding of the screen's shape leaves no bar.
    const long long ww = windowWidth, wh = windowHeight, pw = pictureWidth, ph = pictureHeight;
    long long width = ww;
    long long height = (ww * ph + pw / 2) / pw;
    if (height > wh) {
        height = wh;
        width = std::min(ww, (wh * pw + ph / 2) / ph);
    }
    return {static_cast<int>((ww - width) / 2), static_cast<int>((wh - height) / 2), static_cast<int>(width),
            static_cast<int>(height)};
}

bool pictureSizeUsable(int width, int height) { return width >= 16 && height >= 16 && width <= 8192 && height <= 8192; }
