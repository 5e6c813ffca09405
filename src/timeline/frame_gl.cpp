// One displayed frame: every stage in order, timed for the statistics.
#include "timeline/frame.h"

#include "fluid/tuning.h"
#include "render/gl.h"
#include "render/render_target.h"
#include "shell/capture.h"
#include "shell/config.h"
#include "shell/demo_clock.h"
#include "shell/music.h"
#include "shell/frame_stats.h"
#include "softbody/blob_scene.h"
#include "timeline/compose.h"
#include "timeline/fluid_stage.h"
#include "timeline/views.h"

void displayFrame() {
    // Offline runs draw only the frames their fixed-step clock asks for: a redraw the
    // window system requests (the first expose, for one) would step the simulation an
    // extra time, at a moment that depends on the X server's timing.
    if (fixedStepClockActive() && !captureFramePending) return;
    const float t = demoClock.time;
    frameStats.beginFrame(t);
    glUseProgram(0);
    updateBlobSwitch(t);
    applyTuningSchedules(t);
    setPerspectiveView();
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    // The particle image: twice the picture size, under the look-at saved here.
    glViewport(0, 0, 2 * screenWidth, 2 * screenHeight);
    glPointSize(1.0f);
    glLineWidth(1.0f);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glPushMatrix();
    // The set-up above (the window clear among it) is no stage's work.
    frameStats.skip();
    prepareFluid();
    frameStats.lap(FrameStage::Fluid);
    moveCamera();
    if (demoClock.paused == 0 && blobActive == 1) stepSoftBodies();
    frameStats.lap(FrameStage::SoftBodies);
    stepParticles();
    driftCamera();
    renderParticleImage();
    frameStats.lap(FrameStage::Particles);

    // The picture: the scene target at the picture size, back at the look-at.
    bindWindowFramebuffer();
    glViewport(0, 0, screenWidth, screenHeight);
    bindRenderTarget(sceneTarget);
    glPopMatrix();
    glPushMatrix();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_COLOR, GL_ONE_MINUS_SRC_ALPHA);
    rollOverlayBeat();
    glPopMatrix();
    if (blobActive == 1) composeBlobSection();
    if (blobActive == 0) composeLayers();
    frameStats.lap(FrameStage::Composition);

    applyPostProcessing();
    frameStats.lap(FrameStage::PostProcessing);
    captureFinishedFrame();
    frameStats.skip();
    glutSwapBuffers();
    frameStats.endFrame();
}
