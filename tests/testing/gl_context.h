// Shared set-up of the rendering tests: one GLUT window under the X display, a small
// picture size, and pixel read-back.
#pragma once

#include <cstdint>
#include <vector>

#include "render/gl.h"

namespace gltest {

inline constexpr int kWidth = 320;
inline constexpr int kHeight = 180;

// Opens the window (once per process), initialises GLEW and sets screenWidth and
// screenHeight to kWidth by kHeight. Tests run in the run directory, so dat/ is there.
void ensureContext();

// RGBA bytes of the currently bound read framebuffer, rows bottom-up.
std::vector<std::uint8_t> readPixels(int x, int y, int width, int height);
// RGBA bytes of a whole texture level 0, rows bottom-up.
std::vector<std::uint8_t> readTexture(unsigned int texture, int width, int height);

// Current GL error, draining the queue (GL_NO_ERROR when there was none).
GLenum drainGlErrors();

}  // namespace gltest
