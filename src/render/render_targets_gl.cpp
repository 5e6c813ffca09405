// Framebuffer targets: names at start-up, attachments re-made at every bind.
#include "base/config.h"
#include "base/gl.h"
#include "render/render_targets.h"

namespace {

void generateNames(RenderTarget& target, int width, int height) {
    glGenFramebuffersEXT(1, &target.framebuffer);
    glGenRenderbuffersEXT(1, &target.renderbuffer);
    target.width = width;
    target.height = height;
}

}  // namespace

void generateRenderTargets() {
    generateNames(targets.largeTarget, 2 * screen.screenWidth, 2 * screen.screenHeight);
    generateNames(targets.sceneTarget, screen.screenWidth, screen.screenHeight);
    generateNames(targets.blobTarget, screen.screenWidth, screen.screenHeight);
    generateNames(targets.layerTarget, screen.screenWidth, screen.screenHeight);
}

void bindRenderTarget(const RenderTarget& target) {
    const GLuint colour = target.colourTexture != nullptr ? *target.colourTexture : 0;
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, target.framebuffer);
    glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D, colour, 0);
    glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, target.renderbuffer);
    // New depth storage at every bind: depth never carries over between binds.
    glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, GL_DEPTH_COMPONENT24, target.width, target.height);
    glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT, target.renderbuffer);
}

void bindWindowFramebuffer() {
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, 0);
}
