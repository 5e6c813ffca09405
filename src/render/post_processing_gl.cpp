// The post-processing pass: live layers ping-pong between the scene and layer targets,
// then the result is copied to the window at the letterbox offset (or scaled to fit a
// full-screen window that stands in for game mode).
#include "base/config.h"
#include "base/gl.h"
#include "render/layer_list.h"
#include "render/post_processing.h"
#include "render/render_targets.h"
#include "render/shaders.h"
#include "render/textures.h"
#include "render/views.h"

namespace {

void drawLayerQuad(float k) {
    // Unit 1 is flipped against unit 0: image textures keep their top row at t = 0,
    // render textures their bottom row.
    glBegin(GL_QUADS);
    glMultiTexCoord2f(GL_TEXTURE0, 0.0f, 0.0f);
    glMultiTexCoord2f(GL_TEXTURE1, k, 1.0f);
    glVertex2f(0.0f, 0.0f);
    glMultiTexCoord2f(GL_TEXTURE0, 1.0f, 0.0f);
    glMultiTexCoord2f(GL_TEXTURE1, k + 1.0f, 1.0f);
    glVertex2f(1.0f, 0.0f);
    glMultiTexCoord2f(GL_TEXTURE0, 1.0f, 1.0f);
    glMultiTexCoord2f(GL_TEXTURE1, k + 1.0f, 0.0f);
    glVertex2f(1.0f, 1.0f);
    glMultiTexCoord2f(GL_TEXTURE0, 0.0f, 1.0f);
    glMultiTexCoord2f(GL_TEXTURE1, k, 0.0f);
    glVertex2f(0.0f, 1.0f);
    glEnd();
}

void setSampler(GLuint program, const char* name, GLint unit) {
    // With no program there is no uniform to set.
    if (program == 0) return;
    glUniform1i(glGetUniformLocation(program, name), unit);
}

}  // namespace

void applyPostProcessing(float t) {
    setOverlayProjection();

    // The live layers in list order, each drawn over what the one before it drew.
    std::size_t count = 0;
    for (const BlendLayer& layer : blendLayers) {
        if (!layerLiveAt(layer, t)) continue;
        GLuint source = 0;
        if (layerWritesLayerTarget(count)) {
            bindRenderTarget(targets.layerTarget);
            source = textures.sceneTargetTexture;
        } else {
            bindRenderTarget(targets.sceneTarget);
            source = textures.layerTargetTexture;
        }
        glViewport(0, 0, screen.screenWidth, screen.screenHeight);
        const GLuint program = useProgram(layer.program) ? layer.program : 0;
        glEnable(GL_TEXTURE_2D);
        glDisable(GL_BLEND);
        glActiveTexture(GL_TEXTURE0);
        setSampler(program, "tex0", 0);
        glBindTexture(GL_TEXTURE_2D, source);
        glActiveTexture(GL_TEXTURE1);
        setSampler(program, "tex1", 1);
        glBindTexture(GL_TEXTURE_2D, layer.texture);
        glActiveTexture(GL_TEXTURE0);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        drawLayerQuad(layerScroll(t));
        ++count;
    }

    bindWindowFramebuffer();
    if (screen.scalePictureToWindow) {
        // Full screen without game mode: the picture fills as much of the screen as its
        // shape allows, through the render textures' linear filter; the frame's clear
        // left the bars black.
        glViewport(screen.fittedPicture.x, screen.fittedPicture.y, screen.fittedPicture.width,
                   screen.fittedPicture.height);
    } else {
        glViewport(0, screen.letterboxOffsetY, screen.screenWidth, screen.screenHeight);
    }
    glUseProgram(0);
    // The copy must show the picture as it is, whatever texturing and blending the
    // composition or the blob section left behind (they may end untextured with an
    // inverting blend, which would otherwise paint the window white).
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glBindTexture(GL_TEXTURE_2D,
                  resultInLayerTarget(count) ? textures.layerTargetTexture : textures.sceneTargetTexture);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    drawTargetQuad();

    // Take back the projection that setOverlayProjection pushed.
    popOverlayProjection();
}
