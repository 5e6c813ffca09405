// Developer controls: quit, seek, pause, point sizes, camera moves, tuning reload.
#pragma once

#include <ostream>

enum class KeyResult { Quit, Redisplay };

// The whole action of a key except the GL side (quit and redisplay are the caller's).
KeyResult handleKey(unsigned char key);
// F1 reloads the tuning files; every other special key does nothing. True when handled.
bool handleSpecialKey(int key);

// The camera as ten lines of "name=value;" after a line of fourteen hyphens.
void writeCameraDump(std::ostream& out);
// Rewrites "glulookat.dat"; an unwritable file is ignored.
void writeCameraDump();

// GLUT callbacks.
void keyboard(unsigned char key, int x, int y);
void specialKey(int key, int x, int y);
