#include "render/resources.h"

#include <cstdio>

#include "fluid/particle_map.h"
#include "fluid/random.h"
#include "fluid/reset.h"
#include "fluid/tuning.h"
#include "render/gl.h"
#include "render/layer_list.h"
#include "render/render_target.h"
#include "render/shaders.h"
#include "render/textures.h"
#include "shell/music.h"
#include "shell/shell.h"
#include "softbody/camera.h"
#include "softbody/soft_bodies.h"

void loadResources() {
    seedRandom(500);
    const GLenum status = glewInit();
    if (status != GLEW_OK) {
        std::fprintf(stderr, "Error: %s\n", glewGetErrorString(status));
        // Every later step needs the entry points GLEW failed to load.
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
    playMusic();
    setStartCamera();
    glutSetCursor(GLUT_CURSOR_NONE);
}
