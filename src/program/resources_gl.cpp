// Everything loaded before the first frame: GL entry points, render targets, shaders, the
// particle map, tuning files, textures, layers, soft bodies and the music (which the
// program starts playing once it is ready for the first frame).
#include "program/resources.h"

#include <algorithm>
#include <iterator>
#include <cstdio>

#include "base/config.h"
#include "base/gl.h"
#include "base/random.h"
#include "program/loading_bar.h"
#include "program/music.h"
#include "program/shell.h"
#include "render/camera.h"
#include "render/image_preparation.h"
#include "render/layer_list.h"
#include "render/render_targets.h"
#include "render/shaders.h"
#include "render/textures.h"
#include "sim/particle_map.h"
#include "sim/soft_bodies.h"
#include "timeline/reset.h"
#include "timeline/tuning.h"

namespace {

void restartSimulation() {
    resetSimulation();
    setStartGravity();
}

void loadPictures() { loadTextures(advanceLoadingBar); }

// The loading after GLEW, in its fixed order. The loading bar moves on after each step, and
// after each picture while the pictures load.
constexpr void (*kLoadingSteps[])() = {
    buildShaderPrograms, generateRenderTargets, loadParticleMap, loadNumList, loadKszakList, loadSizeList,
    loadNegativeList,    restartSimulation,     loadPictures,    loadBlendLayers, initMusic,
};
constexpr int kLoadingBarSteps = static_cast<int>(std::size(kLoadingSteps)) + kLoadedImageCount;

}  // namespace

void loadResources(bool showProgress) {
    // First: a model that cannot be read ends the run before anything else is loaded.
    buildSoftBodies();
    seedRandom(500);
    const GLenum status = glewInit();
    if (status != GLEW_OK) {
        std::fprintf(stderr, "Error: %s\n", glewGetErrorString(status));
        // Every later step needs the entry points GLEW failed to load.
        endRun(1);
    }
    beginLoadingBar(showProgress, kLoadingBarSteps);
    GLint maxTexture = 0;
    GLint maxRenderbuffer = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTexture);
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE_EXT, &maxRenderbuffer);
    if (!renderTargetsFit(screen.screenWidth, screen.screenHeight, maxTexture, maxRenderbuffer)) {
        // Targets larger than the driver allows would stay empty: a black picture.
        std::fprintf(stderr,
                     "velkarn: a picture of %d by %d pixels needs render targets of twice that size, more than "
                     "this GL driver allows (%d by %d); give a smaller size\n",
                     screen.screenWidth, screen.screenHeight, std::min(maxTexture, maxRenderbuffer),
                     std::min(maxTexture, maxRenderbuffer));
        endRun(1);
    }
    // The pictures are decoded and filtered on the other cores while the steps before
    // them run; the picture step then only uploads.
    prepareStartupImages(maxTexture);
    for (void (*const step)() : kLoadingSteps) {
        step();
        advanceLoadingBar();
    }
    stopPreparingImages();
    setStartCamera();
    glutSetCursor(GLUT_CURSOR_NONE);
}
