// GLUT callbacks and the display set-up of the demo shell.
#pragma once

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
