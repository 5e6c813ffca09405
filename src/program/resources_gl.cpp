// Everything loaded before the first frame: GL entry points, render targets, shaders, the
// particle map, tuning files, textures, layers, soft bodies and the music (which the
// program starts playing once it is ready for the first frame).
#include "program/resources.h"

#include <algorithm>
#include <cstdio>

#include "base/config.h"
#include "base/gl.h"
#include "base/random.h"
#include "program/loading_bar.h"
#include "program/music.h"
#include "program/shell.h"
#include "render/camera.h"
#include "render/layer_list.h"
#include "render/render_targets.h"
#include "render/shaders.h"
#include "render/textures.h"
#include "sim/particle_map.h"
#include "sim/soft_bodies.h"
#include "timeline/reset.h"
#include "timeline/tuning.h"

namespace {
// The steps the loading bar counts besides the images: the shaders, the render targets, the
// particle map, the four tuning files, the reset, the render textures, the layers, the music.
constexpr int kLoadingSteps = 11 + kLoadedImageCount;
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
    beginLoadingBar(showProgress, kLoadingSteps);
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
    buildShaderPrograms();
    advanceLoadingBar();
    generateRenderTargets();
    advanceLoadingBar();
    loadParticleMap();
    advanceLoadingBar();
    loadNumList();
    advanceLoadingBar();
    loadKszakList();
    advanceLoadingBar();
    loadSizeList();
    advanceLoadingBar();
    loadNegativeList();
    advanceLoadingBar();
    resetSimulation();
    setStartGravity();
    advanceLoadingBar();
    loadTextures(advanceLoadingBar);
    advanceLoadingBar();  // the render textures
    loadBlendLayers();
    advanceLoadingBar();
    initMusic();
    advanceLoadingBar();
    setStartCamera();
    glutSetCursor(GLUT_CURSOR_NONE);
}
