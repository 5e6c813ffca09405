// GLUT callbacks and the display set-up of the demo shell.
#pragma once

// GLUT's fatal errors are printed in the demo's words (with how to get an X display
// when there is none), then the run ends with status 1. Called before glutInit.
void reportGlutErrors();
// Opens the game mode or the window for the configured size. Where game mode cannot be
// entered, a window covers the screen instead, black until the first frame, and the
// picture is scaled to fit it.
void openDisplay();
void reshape(int width, int height);
// The display callback: one frame, then its capture, then the swap.
void displayFrame();
void idle();
// The end of a run: statistics and capture output are finished, then exit(status).
[[noreturn]] void endRun(int status);
