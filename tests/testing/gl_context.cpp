#include "testing/gl_context.h"

#include <cstdio>
#include <cstdlib>

#include "base/config.h"

namespace gltest {

void ensureContext() {
    static bool ready = false;
    if (ready) return;
    int argc = 1;
    char name[] = "velkarn_gl_tests";
    char* argv[] = {name, nullptr};
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE);
    glutInitWindowSize(kWidth, kHeight);
    glutInitWindowPosition(0, 0);
    glutCreateWindow("velkarn test");
    if (const GLenum status = glewInit(); status != GLEW_OK) {
        std::fprintf(stderr, "glewInit failed: %s\n", glewGetErrorString(status));
        std::exit(1);
    }
    screen.screenWidth = kWidth;
    screen.screenHeight = kHeight;
    ready = true;
}

std::vector<std::uint8_t> readPixels(int x, int y, int width, int height) {
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

std::vector<std::uint8_t> readTexture(unsigned int texture, int width, int height) {
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

GLenum drainGlErrors() {
    const GLenum first = glGetError();
    while (glGetError() != GL_NO_ERROR) {
    }
    return first;
}

}  // namespace gltest
