// The rendering tests' GL context: one GLUT window under the X display, pixel read-back.
#pragma once

#include <cstdint>
#include <vector>

#include "base/gl.h"

namespace gltest {

inline constexpr int kWidth = 320;
inline constexpr int kHeight = 180;

// Opens the window once per process, initialises GLEW and sets screenWidth and
// screenHeight to kWidth by kHeight. Tests run in the run directory, so dat/ is there.
void ensureContext();
// RGBA bytes, rows bottom-up, of the bound read framebuffer or of a texture's level 0.
std::vector<std::uint8_t> readPixels(int x, int y, int width, int height);
std::vector<std::uint8_t> readTexture(unsigned int texture, int width, int height);
// The first GL error queued, draining the queue (GL_NO_ERROR when there was none).
GLenum drainGlErrors();

}  // namespace gltest
