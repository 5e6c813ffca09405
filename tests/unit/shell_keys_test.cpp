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

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

TEST(ShellKeys, QuitPauseF1AndCaseSensitiveLetters) {
    EXPECT_EQ(handleKey(27), KeyResult::Quit);
    EXPECT_EQ(handleKey('q'), KeyResult::Quit);
    const Camera before = camera;
    for (const unsigned char key : {'Q', 'A', 'E'}) EXPECT_EQ(handleKey(key), KeyResult::Redisplay);
    EXPECT_EQ(camera.eyex, before.eyex);
    EXPECT_EQ(MIN_PAR, 1.0f);
    handleKey('p');
    EXPECT_EQ(demoClock.paused, 1);
    handleKey('p');
    EXPECT_EQ(demoClock.paused, 0);
    EXPECT_TRUE(handleSpecialKey(1));
    EXPECT_FALSE(handleSpecialKey(2));    // F2
    EXPECT_FALSE(handleSpecialKey(100));  // left arrow
}

TEST(ShellKeys, SizeAndCountKeysPrintTheNewValueAndHaveNoLimit) {
    CaptureStdout();
    for (const unsigned char key : {'e', 'r', 'r', 'r', 'y', 't', '+', '-'}) handleKey(key);
    EXPECT_EQ(GetCapturedStdout(), "MIN_PAR: 2\nMIN_PAR: 1\nMIN_PAR: 0\nMIN_PAR: -1\nMAX_PAR: 7\nMAX_PAR: 6\n"
                                   "NUMPARMICRO: 11140\nNUMPARMICRO: 9730\n");
    MIN_PAR = 1.0f;
}

TEST(ShellKeys, EveryCameraKeyMovesItsFieldAndRewritesTheDump) {
    const struct {
        unsigned char up, down;
        float Camera::*field;
    } pairs[] = {{'a', 's', &Camera::eyex},    {'d', 'f', &Camera::eyey},     {'g', 'h', &Camera::eyez},
                 {'j', 'l', &Camera::centerX}, {';', '\'', &Camera::centerY}, {'z', 'x', &Camera::centerZ},
                 {'c', 'v', &Camera::upx},     {'b', 'n', &Camera::upy},      {'m', ',', &Camera::upz}};
    for (const auto& pair : pairs) {
        setStartCamera();
        const float start = camera.*pair.field;
        handleKey(pair.up);
        EXPECT_EQ(camera.*pair.field, start + 0.025f) << pair.up;
        handleKey(pair.down);
        handleKey(pair.down);
        EXPECT_EQ(camera.*pair.field, start + 0.025f - 0.025f - 0.025f) << pair.down;
    }
    setStartCamera();
    handleKey('a');
    std::stringstream dump;
    dump << std::ifstream("glulookat.dat").rdbuf();
    EXPECT_EQ(dump.str(), "--------------\neyex=0.595;\neyey=0;\neyez=0.3;\ncenterX=0.725;\ncenterY=0;\n"
                          "centerZ=-0.075;\nupx=-0.075;\nupy=0.1;\nupz=0.125;\n");
    setStartCamera();
}

TEST(ShellKeys, DigitPrintsItselfResetsAndSeeks) {
    audioShutdown();
    audioPlay();  // the silent clock without a track
    numList.cursor = 3;
    demoClock.time = 80.0f;
    demoClock.delta = 0.5f;
    CaptureStdout();
    handleKey('0');
    EXPECT_EQ(GetCapturedStdout(), "0");
    EXPECT_EQ(numList.cursor, 0);
    EXPECT_LT(demoClock.time, 0.1f);
    EXPECT_EQ(demoClock.delta, 0.0f);
    audioShutdown();
}
