#include "render/resources.h"

#include <cstdio>

#include "render/gl.h"
#include "shell/music.h"

void loadResources() {
    const GLenum status = glewInit();
    if (status != GLEW_OK) std::fprintf(stderr, "Error: %s\n", glewGetErrorString(status));
    initMusic();
    playMusic();
    glutSetCursor(GLUT_CURSOR_NONE);
}
