// Everything loaded before the first frame: GL entry points, render targets, shaders, the
// particle map, tuning files, textures, layers, soft bodies and the music (which the
// program starts playing once it is ready for the first frame).
#include "program/resources.h"

#include <algorithm>
#include <cstdio>

#include "base/config.h"
#include "base/gl.h"
#include "base/random.h"
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

void loadResources() {
    // First: a model that cannot be read ends the run before anything else is loaded.
    buildSoftBodies();
    seedRandom(500);
    const GLenum status = glewInit();
    if (status != GLEW_OK) {
        std::fprintf(stderr, "Error: %s\n", glewGetErrorString(status));
        // Every later step needs the entry points GLEW failed to load.
        endRun(1);
    }
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
    generateRenderTargets();
    loadParticleMap();
    loadNumList();
    loadKszakList();
    loadSizeList();
    loadNegativeList();
    resetSimulation();
    setStartGravity();
    loadTextures();
    loadBlendLayers();
    initMusic();
    setStartCamera();
    glutSetCursor(GLUT_CURSOR_NONE);
}
