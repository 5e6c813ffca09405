// Hands GLUT's key presses to the key rules and quits or redraws as they say.
#include "program/keys.h"

#include "base/gl.h"
#include "program/shell.h"

void keyboard(unsigned char key, int, int) {
    if (handleKey(key) == KeyResult::Quit) endRun(0);
    glutPostRedisplay();
}

void specialKey(int key, int, int) { handleSpecialKey(key); }
