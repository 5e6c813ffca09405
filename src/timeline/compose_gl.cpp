// Draws the composition: the scene with the credits, end logo, overlay and intro layers,
// their fades and the intro's pulse as the frame's view has them.
#include "timeline/compose.h"

#include "base/gl.h"
#include "render/textures.h"
#include "render/views.h"
#include "timeline/between_ticks.h"
#include "timeline/layer_state.h"
#include "timeline/tuning.h"

void composeLayers(float t) {
    glPushMatrix();
    setOverlayProjection();

    // Opaque background: nothing of the target's earlier content survives.
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glBindTexture(GL_TEXTURE_2D, textures.blackTexture);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    drawImageQuad();

    if (creditsShownAt(t)) {
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, textures.creditsTexture);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glColor4f(1.0f, 1.0f, 1.0f, frameView.values.creditsAlpha);
        glPushMatrix();
        glTranslatef(0.0f, 0.4f, 0.0f);
        drawImageQuad();
        glPopMatrix();
    }

    // The particle image of twice the picture size, added and minified.
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glBindTexture(GL_TEXTURE_2D, textures.largeTargetTexture);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    drawTargetQuad();

    if (endLogoShownAt(t)) {
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, textures.logoEndTexture);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glColor4f(1.0f, 1.0f, 1.0f, frameView.values.endLogoAlpha);
        glPushMatrix();
        glTranslatef(0.0f, 0.0f, 0.0f);
        drawImageQuad();
        glPopMatrix();
    }

    if (layers.overlayOn != 0) {
        // 2 * source * destination with half the texture colour: a multiply.
        glBlendFunc(GL_DST_COLOR, GL_SRC_COLOR);
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, textures.azorTexture);
        glPushMatrix();
        glTranslatef(layers.overlayOffset[0], layers.overlayOffset[1], layers.overlayOffset[2]);
        glRotatef(20.0f * layers.overlayTurn, 0.0f, 1.0f, 0.0f);
        glScalef(5.0f, 5.0f, 5.0f);
        glTranslatef(overlayDriftAt(t), 0.0f, 0.0f);
        if (const float jump = overlayJumpAt(t); jump != 0.0f) glTranslatef(jump, 0.0f, 0.0f);
        glColor4f(0.5f, 0.5f, 0.5f, 0.5f);
        drawImageQuad();
        glPopMatrix();
    }

    if (layers.negativeOn != 0) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_ONE_MINUS_DST_COLOR, GL_ZERO);
        glDisable(GL_TEXTURE_2D);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        drawPlainQuad();
    }

    if (introShownAt(t)) {
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, textures.introFrames[static_cast<std::size_t>(layers.introFrameIndex)]);
        glScalef(1.0f + frameView.values.introPulse, 1.0f + frameView.values.introPulse, 1.0f);
        glTranslatef(-0.5f * frameView.values.introPulse, -0.5f * frameView.values.introPulse, 0.0f);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        drawImageQuad();
    }

    glPopMatrix();
}
