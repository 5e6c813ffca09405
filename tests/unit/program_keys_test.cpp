#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <tuple>

#include "base/demo_clock.h"
#include "program/audio.h"
#include "program/keys.h"
#include "render/camera.h"
#include "sim/particles.h"
#include "timeline/tuning.h"

using testing::internal::CaptureStdout, testing::internal::GetCapturedStdout;

TEST(ProgramKeys, KeysActAndPrintTheirNewValues) {
    EXPECT_EQ(handleKey('q'), KeyResult::Quit);
    EXPECT_TRUE(handleSpecialKey(1));                            // F1
    EXPECT_FALSE(handleSpecialKey(2) || handleSpecialKey(100));  // F2, left arrow
    audioShutdown();
    audioPlay();  // the silent clock without a track
    tuning.numList.cursor = 3;
    demoClock = {80.0f, 0.5f, 0, 80.0f};
    const Camera before = camera;
    // Letters are case-sensitive: 'Q', 'A' and 'E' change nothing but still redraw. No limits.
    CaptureStdout();
    for (const unsigned char key : {'Q', 'A', 'E', 'e', 'r', 'r', 'r', 'y', 't', '+', '-', 'p', '0'}) {
        EXPECT_EQ(handleKey(key), KeyResult::Redisplay) << key;
    }
    EXPECT_EQ(GetCapturedStdout(),
              "MIN_PAR: 2\nMIN_PAR: 1\nMIN_PAR: 0\nMIN_PAR: -1\nMAX_PAR: 7\nMAX_PAR: 6\n"
              "NUMPARMICRO: 11140\nNUMPARMICRO: 9730\n0");
    EXPECT_EQ(camera.eyex, before.eyex);
    // The digit reset the simulation and sought the start; the pause stays, and toggles.
    EXPECT_EQ(std::tuple(tuning.numList.cursor, demoClock.delta, demoClock.paused), std::tuple(0, 0.0f, 1));
    EXPECT_LT(demoClock.time, 0.1f);
    EXPECT_EQ(demoClock.nextTick, firstTickAtOrAfter(demoClock.time)) << "the ticks go on from the seek";
    handleKey('p');
    EXPECT_EQ(demoClock.paused, 0);
    particles.MIN_PAR = 1.0f;
    audioShutdown();
}

TEST(ProgramKeys, EveryCameraKeyMovesItsFieldAndRewritesTheDump) {
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
    handleKey('a');  // the file holds only the latest camera
    std::stringstream dump;
    dump << std::ifstream("glulookat.dat").rdbuf();
    EXPECT_EQ(dump.str(),
              "--------------\neyex=0.595;\neyey=0;\neyez=0.3;\ncenterX=0.725;\ncenterY=0;\n"
              "centerZ=-0.075;\nupx=-0.075;\nupy=0.1;\nupz=0.125;\n");
    setStartCamera();
}
