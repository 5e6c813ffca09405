// Draws the blob section: the three soft bodies, the strings between them and the
// particles, and the composition with glitches and the inverted picture.
#include <algorithm>
#include <array>

#include "base/config.h"
#include "base/gl.h"
#include "base/random.h"
#include "render/render_targets.h"
#include "render/shaders.h"
#include "render/textures.h"
#include "render/views.h"
#include "sim/particles.h"
#include "sim/soft_bodies.h"
#include "timeline/between_ticks.h"
#include "timeline/blob_scene.h"
#include "timeline/blob_step.h"

// --- GL helpers and string points ---
namespace {

GLint currentProgram() {
    GLint program = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    return program;
}

// setOverlayProjection pushes the projection; every overlay drawing here pops it again
// when it is done, so the projection stack stays balanced frame after frame.
void endOverlayProjection() { popOverlayProjection(); }

void clearToBlack() {
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// One point of a string: a body particle, or a fluid particle laid on the floor.
struct StringPoint {
    float x, y, z;
};

// Picks lie below the pose's and the span's sizes (the picks are made from those counts).
StringPoint bodyPoint(const SoftBodyPose& pose, int index) {
    const Vector3& p = pose.positions[static_cast<std::size_t>(index)];
    return {p.x, p.y, p.z};
}

StringPoint fluidPoint(std::span<const ParticlePosition> positions, int index) {
    const ParticlePosition& p = positions[static_cast<std::size_t>(index)];
    return {2.0f * p.x, FLOOR_Y, 2.0f * p.y};
}

int poseSize(const SoftBodyPose* pose) { return pose != nullptr ? static_cast<int>(pose->positions.size()) : 0; }

void emitPoints(const std::array<StringPoint, 10>& points, int count) {
    for (int i = 0; i < count; ++i) glVertex3f(points[i].x, points[i].y, points[i].z);
}

}  // namespace

// --- The strings ---
void drawBlobStrings(const BlobLook& look) {
    const auto [poseA, poseB, poseC] = look.bodyPoses;
    // Without all three bodies there is nothing to string together.
    if (poseSize(poseA) == 0 || poseSize(poseB) == 0 || poseSize(poseC) == 0) return;
    RandomGenerator random{kBlobStringSeed};
    glDisable(GL_TEXTURE_2D);
    glColor4f(0.1f, 0.1f, 0.1f, 0.06f);
    glDisable(GL_LIGHTING);
    glEnable(GL_POINT_SMOOTH);
    glHint(GL_POINT_SMOOTH_HINT, GL_NICEST);

    const int liveCount = particles.particleCount < kMaxParticles ? particles.particleCount : kMaxParticles;
    const int fluidCount = std::min(liveCount, static_cast<int>(look.particlePositions.size()));
    for (int strip = 0; strip < kBlobStrings; ++strip) {
        const StringPicks pick = pickStringPoints(poseSize(poseA), poseSize(poseB), poseSize(poseC), fluidCount, random);
        // A1 B1 A2 C1 B2 C2 B2 F1 A2 F2; without live fluid particles the two floor points
        // are left out.
        std::array<StringPoint, 10> points{};
        int count = 0;
        points[count++] = bodyPoint(*poseA, pick.a1);
        points[count++] = bodyPoint(*poseB, pick.b1);
        points[count++] = bodyPoint(*poseA, pick.a2);
        points[count++] = bodyPoint(*poseC, pick.c1);
        points[count++] = bodyPoint(*poseB, pick.b2);
        points[count++] = bodyPoint(*poseC, pick.c2);
        points[count++] = bodyPoint(*poseB, pick.b2);
        if (pick.f1 >= 0) points[count++] = fluidPoint(look.particlePositions, pick.f1);
        points[count++] = bodyPoint(*poseA, pick.a2);
        if (pick.f2 >= 0) points[count++] = fluidPoint(look.particlePositions, pick.f2);

        glDisable(GL_TEXTURE_2D);
        glBegin(GL_LINE_STRIP);
        emitPoints(points, count);
        glEnd();

        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, textures.particleSpriteTexture);
        glEnable(GL_POINT_SPRITE);
        glTexEnvi(GL_POINT_SPRITE, GL_COORD_REPLACE, GL_TRUE);
        glEnable(GL_BLEND);
        glBlendFunc(GL_ONE_MINUS_SRC_COLOR, GL_ONE);
        const GLint program = currentProgram();
        glUseProgram(0);
        glColor4f(0.8f, 0.8f, 0.8f, 0.5f);
        glPointSize(15.0f);
        glBegin(GL_POINTS);
        emitPoints(points, count);
        glEnd();
        // Mesa's software GL also replaces the texture coordinates of later quads while
        // point sprites are on; keep them on only for the points.
        glDisable(GL_POINT_SPRITE);
        glUseProgram(static_cast<GLuint>(program));
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_LIGHTING);
}

// --- The scene ---
void drawBlobScene(bool withOverlay, float time, const BlobLook& look) {
    const float beatPulse = look.beatPulse;
    const float beatPulseStrong = look.beatPulseStrong;
    const float barPulse = look.barPulse;

    setOverlayProjection();
    glDisable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, textures.backgroundTexture);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);

    if (time > kBlobBeatsStart && withOverlay) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        const float s1 = beatPulse * 0.5f + 1.0f;
        glColor4f(1.0f, 1.0f, 1.0f, beatPulse * 4.5f);
        glPushMatrix();
        glTranslatef(0.1f, 0.0f, 0.0f);
        glTranslatef(0.5f, 0.5f, 0.0f);
        glScalef(s1, s1, s1);
        glTranslatef(-0.5f, -0.5f, 0.0f);
        drawImageQuad();
        glPopMatrix();

        const float s2 = beatPulseStrong * 0.5f + 1.04f;
        glColor4f(1.0f, 1.0f, 1.0f, beatPulseStrong * 0.26f);
        glTranslatef(0.1f, 0.0f, 0.0f);
        glTranslatef(0.5f, 0.5f, 0.0f);
        glScalef(s2, s2, s2);
        glRotatef(barPulse * 40.0f, 0.0f, 0.0f, 1.0f);
        glTranslatef(-0.5f, -0.5f, 0.0f);
        drawImageQuad();
    }

    endOverlayProjection();

    glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
    setPerspectiveView();
    glRotatef(-2.5f * (time - kBlobSceneStart), 0.0f, 1.3f, 0.0f);
    glTranslatef(-1.89f, 0.0f, 1.0f);
    if (cameraKeyframeShiftedAt(time)) glTranslatef(1.0f, 1.7f, 5.7f);
    gluLookAt(camera.eyex, camera.eyey, camera.eyez, camera.centerX, camera.centerY, camera.centerZ, camera.upx,
              camera.upy, camera.upz);

    glPushMatrix();
    glEnable(GL_LIGHTING);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_LIGHT0);
    const GLfloat ambient[] = {0.3f, 0.1f, 0.1f, 1.0f};
    const GLfloat specular[] = {0.3f, 0.1f, 0.1f, 1.0f};
    const GLfloat diffuse[] = {0.3f, 0.1f, 0.1f, 0.7f};
    glMaterialfv(GL_FRONT, GL_AMBIENT, ambient);
    glMaterialfv(GL_FRONT, GL_SPECULAR, specular);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
    glMaterialf(GL_FRONT, GL_SHININESS, 0.3f);

    glScalef(0.8f, 1.0f, 0.8f);
    glTranslatef(0.0f, 5.0f, -2.0f);
    glDisable(GL_DEPTH_TEST);

    if (time > kBlobStringsStart) {
        const GLint program = currentProgram();
        useProgram(programs.blobGeomProgram);
        for (int i = 0; i < 3; ++i) {
            drawBlobStrings(look);
            glTranslatef(0.0001f, 0.0f, 0.0f);
        }
        glUseProgram(static_cast<GLuint>(program));
    }

    glDisable(GL_TEXTURE_2D);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    const auto [poseA, poseB, poseC] = look.bodyPoses;
    if (poseC != nullptr) paintSoftObject(softBodies.softBodyC, *poseC);
    if (poseB != nullptr) paintSoftObject(softBodies.softBodyB, *poseB);
    if (poseA != nullptr) paintSoftObject(softBodies.softBodyA, *poseA);

    glDisable(GL_LIGHTING);
    glPopMatrix();
    glPopClientAttrib();
}

// --- The section over the picture ---
namespace {

BlobLook blobLook(float beatPulse, float beatPulseStrong, float barPulse,
                  const std::array<SoftBodyPose, kSoftBodyCount>& poses, std::span<const ParticlePosition> positions) {
    return BlobLook{beatPulse, beatPulseStrong, barPulse, {&poses[0], &poses[1], &poses[2]}, positions};
}

// The bodies and particles of the frame, between its two ticks.
BlobLook frameBlobLook() {
    const DrawnValues& values = frameView.values;
    return blobLook(values.beatPulse, values.beatPulseStrong, values.barPulse, frameView.bodyPoses,
                    frameView.particlePositions);
}

// The state the latest tick left, for a snapshot drawn at that tick.
BlobLook latestTickBlobLook() {
    const SoftBodyRefs bodies = demoSoftBodies();
    for (std::size_t k = 0; k < bodies.size(); ++k) takePose(*bodies[k], frameView.latestPoses[k]);
    const BlobTiming& timing = blobScene.blobTiming;
    return blobLook(timing.beatPulse, timing.beatPulseStrong, timing.barPulse, frameView.latestPoses,
                    particles.particlePositions);
}

}  // namespace

void drawBlobSnapshot(float time) {
    // Drawn between frames, so everything the frame would have set before it is set here:
    // the target's whole area, no program, and the line width the particle image leaves.
    bindRenderTarget(targets.blobTarget);
    glViewport(0, 0, screen.screenWidth, screen.screenHeight);
    glUseProgram(0);
    glLineWidth(2.0f);
    clearToBlack();
    drawBlobScene(false, time, latestTickBlobLook());
    bindWindowFramebuffer();
}

void composeBlobSection(float time) {
    bindRenderTarget(targets.sceneTarget);
    clearToBlack();
    setPerspectiveView();
    setOverlayProjection();

    // The last snapshot in 50 strips, each shifted sideways; the texture repeats, so a
    // shifted strip wraps around.
    RandomGenerator random{kBlobStripSeed};
    for (int i = 0; i < kBlobStrips; ++i) {
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, textures.blobTargetTexture);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        glPushMatrix();
        const float y0 = static_cast<float>(i) * 0.02f;
        const float y1 = static_cast<float>(i + 1) * 0.02f;
        const float shift = stripShift(frameView.values.glitchAmount, random);
        glBegin(GL_QUADS);
        glTexCoord2f(shift, y1);
        glVertex2f(0.0f, y1);
        glTexCoord2f(shift + 1.0f, y1);
        glVertex2f(1.0f, y1);
        glTexCoord2f(shift + 1.0f, y0);
        glVertex2f(1.0f, y0);
        glTexCoord2f(shift, y0);
        glVertex2f(0.0f, y0);
        glEnd();
        glPopMatrix();
    }
    endOverlayProjection();

    drawBlobScene(true, time, frameBlobLook());

    // Every pixel becomes its complement.
    setPerspectiveView();
    setOverlayProjection();
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE_MINUS_DST_COLOR, GL_ZERO);
    glDisable(GL_TEXTURE_2D);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    drawPlainQuad();
    endOverlayProjection();
}
