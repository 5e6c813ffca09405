// Reads each finished picture back and hands it to the capture or the video.
#include "program/capture.h"

#include <cstdio>
#include <vector>

#include "base/config.h"
#include "base/demo_clock.h"
#include "base/gl.h"
#include "program/music.h"
#include "program/run_settings.h"
#include "program/shell.h"
#include "program/video_encoder.h"

namespace {

// The finished picture as the final copy left it in the back buffer: bottom row first,
// opaque. One read-back serves the PNG files and the video.
std::span<const std::uint8_t> readFinishedPicture() {
    static std::vector<std::uint8_t> pixels;
    pixels.resize(static_cast<std::size_t>(screen.screenWidth) * screen.screenHeight * 4);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, screen.letterboxOffsetY, screen.screenWidth, screen.screenHeight, GL_RGBA, GL_UNSIGNED_BYTE,
                 pixels.data());
    // The window's alpha is not part of the picture.
    for (std::size_t i = 3; i < pixels.size(); i += 4) pixels[i] = 255;
    return pixels;
}

}  // namespace

void captureFinishedFrame() {
    const bool video = videoRequested();
    if ((runSettings().captureDirectory.empty() && !video) || !captureFramePending) return;
    captureFramePending = false;
    // Offline runs are how the picture is checked: report any GL error of the frame.
    for (GLenum error = glGetError(); error != GL_NO_ERROR; error = glGetError()) {
        std::fprintf(stderr, "velkarn: GL error 0x%04x in the frame at %.3f s\n", error,
                     static_cast<double>(demoClock.time));
    }
    const std::span<const std::uint8_t> pixels = readFinishedPicture();
    if (video) {
        // The encoder starts with the first frame, once everything has loaded.
        if (!videoStarted() && !beginVideo(screen.screenWidth, screen.screenHeight)) endRun(1);
        if (!writeVideoFrame(pixels, demoClock.time)) endRun(1);
        advanceFixedStepClock();
        if (videoComplete()) endRun(0);
        return;
    }
    const std::string name = captureFileName(runSettings().captureDirectory, fixedStepFrameIndex());
    std::string reason;
    if (!savePng(name, pixels, screen.screenWidth, screen.screenHeight, &reason)) {
        std::fprintf(stderr, "velkarn: cannot write %s: %s\n", name.c_str(), reason.c_str());
        endRun(1);
    }
    advanceFixedStepClock();
}
