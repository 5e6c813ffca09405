// Draws the loading bar into the window and shows it at once, leaving every GL state the
// loading relies on as it was.
#include "base/gl.h"
#include "program/loading_bar.h"
#include "program/stop_signals.h"

namespace {

void fillBox(const LoadingBarBox& box) {
    if (box.width > 0 && box.height > 0) glRecti(box.x, box.y, box.x + box.width, box.y + box.height);
}

void drawLoadingBar() {
    const int width = glutGet(GLUT_WINDOW_WIDTH);
    const int height = glutGet(GLUT_WINDOW_HEIGHT);
    GLint program = 0;
    GLint framebuffer = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &framebuffer);
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, width, 0.0, height, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glUseProgram(0);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    glViewport(0, 0, width, height);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);

    const LoadingBarBox track = loadingBarTrack(width, height);
    glColor3f(0.2f, 0.2f, 0.2f);
    fillBox(track);
    glColor3f(0.85f, 0.85f, 0.85f);
    fillBox(loadingBarFill(track, loadingProgress.done, loadingProgress.total));
    glutSwapBuffers();

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, static_cast<GLuint>(framebuffer));
    glUseProgram(static_cast<GLuint>(program));
}

}  // namespace

void beginLoadingBar(bool shown, int total) {
    loadingProgress = LoadingProgress{shown, 0, total};
    if (shown) drawLoadingBar();
}

void advanceLoadingBar() {
    // A stop in game mode is carried out between the loading steps.
    carryOutDeferredStop();
    ++loadingProgress.done;
    if (loadingProgress.shown) drawLoadingBar();
}
