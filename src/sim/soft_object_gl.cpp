// Draws one soft body: its shadow on the floor, then its lit faces.
#include "base/gl.h"
#include "sim/soft_object.h"

void paintSoftObject(const CSoftObject& body) {
    // The shadow: every triangle flattened onto the floor, unlit and faint.
    glDisable(GL_LIGHTING);
    glColor4f(1.0f, 1.0f, 1.0f, 0.25f);
    glBegin(GL_TRIANGLES);
    for (const SoftFace& face : body.faces) {
        glNormal3f(0.0f, 0.0f, 0.0f);
        for (const std::int32_t corner : {face.p0, face.p1, face.p2}) {
            const Vector3& p = body.particles[corner].position;
            glVertex3f(p.x, FLOOR_Y, p.z);
        }
    }
    glEnd();

    // The surface, lit with the vertex normals as the force pass left them.
    glEnable(GL_LIGHTING);
    glBegin(GL_TRIANGLES);
    for (const SoftFace& face : body.faces) {
        for (const std::int32_t corner : {face.p0, face.p1, face.p2}) {
            const SoftParticle& p = body.particles[corner];
            glNormal3f(p.normal.x, p.normal.y, p.normal.z);
            glVertex3f(p.position.x, p.position.y, p.position.z);
        }
    }
    glEnd();
}
