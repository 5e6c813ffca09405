// Picture size, display mode and the one projection matrix, chosen once at start-up.
#pragma once

#include <istream>
#include <string>

// Column-major perspective frustum (l -0.005, r 0.005, b -0.004, t 0.004, n 0.005, f 1000).
extern const float fixedProjection[16];

// Bounded vsnprintf into screen.gameModeString.
void formatGameMode(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Reads the three configuration words (width, height, "fullscreen" or another word).
// A missing word is an empty string: 0 for a number, window mode for the third.
void readConfigWords(std::istream& in);
// Opens the configuration file; a missing file leaves the defaults.
void readConfigFile(const char* path);
// "W H" or "W H D R" after the program name (argc 3 or 5), with their messages;
// any other count is ignored. Also formats screen.gameModeString. Prints sizeWordsWarning.
void applyResolutionArguments(int argc, char** argv);
// One warning line for size words that are ignored (a count other than two or four) or
// are not whole numbers (atoi still reads them); empty when there is nothing to say.
std::string sizeWordsWarning(int argc, char** argv);

// (windowHeight - pictureHeight) / 2, truncated toward zero.
int letterboxOffsetFor(int windowHeight, int pictureHeight);

// A rectangle of the window in pixels, from its bottom-left corner.
struct WindowRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const WindowRect&) const = default;
};
// The largest rectangle of the picture's shape inside the window, centred; empty for an
// empty window.
WindowRect fitPicture(int windowWidth, int windowHeight, int pictureWidth, int pictureHeight);

// The picture and the display it is shown on, chosen at start-up.
struct ScreenState {
    // Size of everything that is rendered (targets, viewports, final copy); resizing the
    // window does not change it.
    int screenWidth = 1920;
    int screenHeight = 1080;
    int fullScreen = 1;  // 1: GLUT game mode; 0: a window
    // The game-mode request, "%dx%d" or "%dx%d:%d@%d".
    char gameModeString[80] = {};
    // Vertical offset of the picture inside the window, kept by the reshape callback.
    int letterboxOffsetY = 0;
    // Set when full screen had to be a window because game mode was refused: the final
    // copy then scales the picture into fittedPicture, which the reshape callback keeps.
    bool scalePictureToWindow = false;
    WindowRect fittedPicture;
};
extern ScreenState screen;

inline constexpr const char* kConfigFileName = "QRV-Velkarn-config.dat";
inline constexpr const char* kWindowTitle = "the vel karn";

// Sizes outside 16..8192 (what an empty or garbled configuration gives, or an absurd
// argument) would render nothing visible; the caller reports them and stops.
bool pictureSizeUsable(int width, int height);
