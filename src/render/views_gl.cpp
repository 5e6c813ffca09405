// The projections and the full-screen quads the stages draw with.
#include "render/views.h"

#include <utility>

#include "base/config.h"
#include "base/gl.h"

namespace {
// Projection pushes of setOverlayProjection not yet popped. Not every caller pops its
// own, so the perspective view, loaded afresh at least once per frame, pops them all and
// the stack cannot overflow.
int overlayPushes = 0;
}  // namespace

void popOverlayProjection() {
    if (overlayPushes == 0) return;
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    --overlayPushes;
}

void setPerspectiveView() {
    glMatrixMode(GL_PROJECTION);
    for (; overlayPushes > 0; --overlayPushes) glPopMatrix();
    glLoadMatrixf(fixedProjection);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(0.5, 0.5, 0.5, 0.5, 0.5, 0.0, 0.0, 1.0, 0.0);
}

void setOverlayProjection() {
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    ++overlayPushes;
    glLoadIdentity();
    gluOrtho2D(-0.5, 0.5, -0.5, 0.5);
    glMatrixMode(GL_MODELVIEW);
}

namespace {
// The unit quad with the texture's rows as stored (render targets), or upside down for
// images, whose first row is their top.
void texturedQuad(bool imageRows) {
    glBegin(GL_QUADS);
    for (const auto& [x, y] : {std::pair{0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}, {0.0f, 1.0f}}) {
        glTexCoord2f(x, imageRows ? 1.0f - y : y);
        glVertex2f(x, y);
    }
    glEnd();
}
}  // namespace

void drawImageQuad() { texturedQuad(true); }

void drawTargetQuad() { texturedQuad(false); }

void drawPlainQuad() {
    glBegin(GL_QUADS);
    glVertex2f(0.0f, 0.0f);
    glVertex2f(1.0f, 0.0f);
    glVertex2f(1.0f, 1.0f);
    glVertex2f(0.0f, 1.0f);
    glEnd();
}
