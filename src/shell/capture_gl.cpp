#include "shell/capture.h"

#include <cstdio>
#include <vector>

#include "render/gl.h"
#include "shell/config.h"
#include "shell/demo_clock.h"
#include "shell/music.h"
#include "shell/shell.h"

void captureFinishedFrame() {
    if (captureSettings.directory.empty() || !captureFramePending) return;
    captureFramePending = false;
    // Offline runs are how the picture is checked: report any GL error of the frame.
    for (GLenum error = glGetError(); error != GL_NO_ERROR; error = glGetError()) {
        std::fprintf(stderr, "velkarn: GL error 0x%04x in the frame at %.3f s\n", error, static_cast<double>(demoClock.time));
    }
    static std::vector<std::uint8_t> pixels;
    pixels.resize(static_cast<std::size_t>(screenWidth) * screenHeight * 4);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, letterboxOffsetY, screenWidth, screenHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    // The window's alpha is not part of the picture.
    for (std::size_t i = 3; i < pixels.size(); i += 4) pixels[i] = 255;
    const std::string name = captureFileName(captureSettings.directory, fixedStepFrameIndex());
    if (!savePng(name, pixels, screenWidth, screenHeight)) {
        std::fprintf(stderr, "velkarn: cannot write %s\n", name.c_str());
        endRun(1);
    }
    advanceFixedStepClock();
}
