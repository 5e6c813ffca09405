#include "shell/keys.h"

#include "render/gl.h"
#include "shell/shell.h"

void keyboard(unsigned char key, int, int) {
    if (key == 27 || key == 'q') endRun(0);
    glutPostRedisplay();
}

void specialKey(int, int, int) {}
