// Draws one soft body: its shadow on the floor, then its lit faces.
#include "base/gl.h"
#include "sim/soft_object.h"

void paintSoftObject(const CSoftObject& body, const SoftBodyPose& pose) {
    const std::size_t n = body.particles.size();
    if (pose.positions.size() != n || pose.normals.size() != n) return;

    // The shadow: every triangle flattened onto the floor, unlit and faint.
    glDisable(GL_LIGHTING);
    glColor4f(1.0f, 1.0f, 1.0f, 0.25f);
    glBegin(GL_TRIANGLES);
    for (const SoftFace& face : body.faces) {
        glNormal3f(0.0f, 0.0f, 0.0f);
        for (const std::int32_t corner : {face.p0, face.p1, face.p2}) {
            const Vector3& p = pose.positions[static_cast<std::size_t>(corner)];
            glVertex3f(p.x, FLOOR_Y, p.z);
        }
    }
    glEnd();

    // The surface, lit with the vertex normals as the force pass left them.
    glEnable(GL_LIGHTING);
    glBegin(GL_TRIANGLES);
    for (const SoftFace& face : body.faces) {
        for (const std::int32_t corner : {face.p0, face.p1, face.p2}) {
            const Vector3& p = pose.positions[static_cast<std::size_t>(corner)];
            const Vector3& normal = pose.normals[static_cast<std::size_t>(corner)];
            glNormal3f(normal.x, normal.y, normal.z);
            glVertex3f(p.x, p.y, p.z);
        }
    }
    glEnd();
}
