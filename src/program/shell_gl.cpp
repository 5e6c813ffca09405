// The window and the main loop's edges: opening the display, reshaping, the idle step and
// the end of a run.
#include "program/shell.h"

#include <cstdio>
#include <cstdlib>

#include "base/config.h"
#include "base/demo_clock.h"
#include "base/frame_stats.h"
#include "base/gl.h"
#include "base/process_exit.h"
#include "program/capture.h"
#include "program/music.h"
#include "program/run_settings.h"
#include "program/stop_signals.h"
#include "program/video_encoder.h"
#include "program/watch.h"
#include "timeline/frame.h"

namespace {

void openWindow(int width, int height) {
    glutInitWindowSize(width, height);
    glutInitWindowPosition(0, 0);
    glutCreateWindow(kWindowTitle);
    glutSetCursor(GLUT_CURSOR_NONE);
}

// What the window shows until the first frame: black.
void drawBlack() {
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glutSwapBuffers();
}

// A window over the whole screen, black while start-up loading runs. It is made as large
// as the screen from the start, and the full-screen request is carried out at once:
// GLUT would otherwise leave it to the main loop, which starts only after the loading.
void leaveGameMode() {
    if (glutGameModeGet(GLUT_GAME_MODE_ACTIVE) != 0) glutLeaveGameMode();
}

void openFullScreenWindow() {
    const int width = glutGet(GLUT_SCREEN_WIDTH);
    const int height = glutGet(GLUT_SCREEN_HEIGHT);
    openWindow(width > 0 ? width : screen.screenWidth, height > 0 ? height : screen.screenHeight);
    glutFullScreen();
    // GLUT refuses to run its events for a window without a display callback; the
    // frame's own replaces this one once loading is done. The window's size reaches
    // the reshape callback only now, so it must be there already.
    glutReshapeFunc(reshape);
    glutDisplayFunc(drawBlack);
    glutMainLoopEvent();
    drawBlack();
}

}  // namespace

void openDisplay() {
    if (screen.fullScreen != 0 && !runSettings().offline) {
        glutGameModeString(screen.gameModeString);
        glutEnterGameMode();
        if (glutGameModeGet(GLUT_GAME_MODE_ACTIVE) != 0) {
            // A stop must not leave the display in the demo's mode.
            deferStopsTo(leaveGameMode);
            return;
        }
        // The display cannot switch modes (a nested server, many desktops): show the
        // picture full screen in a window instead of dying without one, scaled to fit
        // whatever size the screen has.
        screen.scalePictureToWindow = true;
        openFullScreenWindow();
        return;
    }
    openWindow(screen.screenWidth, screen.screenHeight);
}

void displayFrame() {
    // Offline runs draw only the frames their fixed-step clock asks for: a redraw the
    // window system requests (the first expose, for one) would step the simulation an
    // extra time, at a moment that depends on the X server's timing.
    if (fixedStepClockActive() && !captureFramePending) return;
    frameStats.beginFrame(demoClock.time);
    runFrame();
    captureFinishedFrame();
    frameStats.skip();
    glutSwapBuffers();
    if (!frameStats.endFrame()) endRun(1);
}

void reshape(int width, int height) {
    screen.letterboxOffsetY = letterboxOffsetFor(height, screen.screenHeight);
    screen.fittedPicture = fitPicture(width, height, screen.screenWidth, screen.screenHeight);
    glViewport(0, screen.letterboxOffsetY, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(fixedProjection);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void idle() {
    carryOutDeferredStop();
    // An offline frame is due but not drawn yet (GLUT draws nothing before the window
    // is mapped): the clock must not read the same frame again, or its delta would be 0.
    if (fixedStepClockActive() && captureFramePending) {
        glutPostRedisplay();
        return;
    }
    if (advanceDemoClock(demoClock, musicTime())) endRun(0);
    if (const auto end = runSettings().endSeconds; end && demoClock.time > static_cast<float>(*end)) endRun(0);
    if (fixedStepClockActive()) captureFramePending = true;
    if (runSettings().watch) pollWatchedFiles();
    glutPostRedisplay();
}

void endRun(int status) {
    // A video is written only when all its frames are in and the encoder succeeded.
    if (!finishVideo() && status == 0) status = 1;
    if (!frameStats.finish() && status == 0) status = 1;
    std::fflush(stdout);
    exitProcess(status);
}
