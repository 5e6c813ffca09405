#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "fluid/particles.h"
#include "fluid/tuning.h"
#include "shell/audio.h"
#include "shell/demo_clock.h"
#include "shell/keys.h"
#include "softbody/camera.h"
#include "testing/capture_stdout.h"
#include "timeline/layer_state.h"

namespace {

std::string readFile(const char* path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

TEST(ShellKeys, QuitKeysAndCaseSensitiveLetters) {
    EXPECT_EQ(handleKey(27), KeyResult::Quit);
    EXPECT_EQ(handleKey('q'), KeyResult::Quit);
    const Camera before = camera;
    const float minPar = MIN_PAR;
    EXPECT_EQ(handleKey('Q'), KeyResult::Redisplay);
    EXPECT_EQ(handleKey('A'), KeyResult::Redisplay);
    EXPECT_EQ(handleKey('E'), KeyResult::Redisplay);
    EXPECT_EQ(camera.eyex, before.eyex);
    EXPECT_EQ(MIN_PAR, minPar);
}

TEST(ShellKeys, PointSizeAndCountKeysPrintAndHaveNoLimit) {
    MIN_PAR = 1.0f;
    MAX_PAR = 6.0f;
    EXPECT_EQ(testing_support::captureStdout([] { handleKey('e'); }), "MIN_PAR: 2\n");
    EXPECT_EQ(testing_support::captureStdout([] { handleKey('t'); }), "MAX_PAR: 5\n");
    testing_support::captureStdout([] {
        for (int i = 0; i < 5; ++i) handleKey('r');
    });
    EXPECT_EQ(MIN_PAR, -3.0f) << "no lower limit";
    const int count = NUMPARMICRO;
    const std::string out = testing_support::captureStdout([] {
        handleKey('+');
        handleKey('-');
    });
    EXPECT_EQ(NUMPARMICRO, count - 270);
    EXPECT_EQ(out, "NUMPARMICRO: " + std::to_string(count + 1140) + "\nNUMPARMICRO: " + std::to_string(count - 270) + "\n");
    MIN_PAR = 1.0f;
    MAX_PAR = 6.0f;
}

TEST(ShellKeys, PauseToggles) {
    demoClock.paused = 0;
    handleKey('p');
    EXPECT_EQ(demoClock.paused, 1);
    handleKey('p');
    EXPECT_EQ(demoClock.paused, 0);
}

TEST(ShellKeys, EveryCameraKeyMovesItsFieldAndRewritesTheDump) {
    struct Case {
        unsigned char key;
        float Camera::*field;
        float step;
    };
    const Case cases[] = {
        {'a', &Camera::eyex, 0.025f},     {'s', &Camera::eyex, -0.025f},   {'d', &Camera::eyey, 0.025f},
        {'f', &Camera::eyey, -0.025f},    {'g', &Camera::eyez, 0.025f},    {'h', &Camera::eyez, -0.025f},
        {'j', &Camera::centerX, 0.025f},  {'l', &Camera::centerX, -0.025f}, {';', &Camera::centerY, 0.025f},
        {'\'', &Camera::centerY, -0.025f}, {'z', &Camera::centerZ, 0.025f}, {'x', &Camera::centerZ, -0.025f},
        {'c', &Camera::upx, 0.025f},      {'v', &Camera::upx, -0.025f},    {'b', &Camera::upy, 0.025f},
        {'n', &Camera::upy, -0.025f},     {'m', &Camera::upz, 0.025f},     {',', &Camera::upz, -0.025f},
    };
    for (const Case& c : cases) {
        setStartCamera();
        const Camera before = camera;
        handleKey(c.key);
        EXPECT_EQ(camera.*c.field, before.*c.field + c.step) << "key " << c.key;
    }
    setStartCamera();
    std::remove("glulookat.dat");
    handleKey('a');
    EXPECT_EQ(readFile("glulookat.dat"),
              "--------------\neyex=0.595;\neyey=0;\neyez=0.3;\ncenterX=0.725;\ncenterY=0;\n"
              "centerZ=-0.075;\nupx=-0.075;\nupy=0.1;\nupz=0.125;\n");
    handleKey('a');
    EXPECT_NE(readFile("glulookat.dat").find("eyex=0.62;"), std::string::npos) << "only the latest camera";
    setStartCamera();
}

TEST(ShellKeys, DigitSeeksWithAResetAndPrintsTheDigit) {
    audioShutdown();
    audioPlay();  // the silent clock without a track
    numList.cursor = 3;
    lastOverlayBeat = 40;
    demoClock.time = 80.0f;
    demoClock.delta = 0.5f;
    EXPECT_EQ(testing_support::captureStdout([] { handleKey('0'); }), "0");
    EXPECT_EQ(numList.cursor, 0);
    EXPECT_EQ(lastOverlayBeat, 0);
    EXPECT_LT(demoClock.time, 0.1f);
    EXPECT_EQ(demoClock.delta, 0.0f);
    audioShutdown();
}

TEST(ShellKeys, OnlyF1IsASpecialKey) {
    EXPECT_TRUE(handleSpecialKey(1));
    EXPECT_FALSE(handleSpecialKey(2));    // F2
    EXPECT_FALSE(handleSpecialKey(100));  // left arrow
}
