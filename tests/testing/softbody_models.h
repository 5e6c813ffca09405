// Small closed meshes built in memory for the soft-body tests.
#pragma once

#include <filesystem>
#include <string>
#include <unistd.h>

#include "assets.h"
#include "softbody/asc_reader.h"
#include "softbody/soft_object.h"

namespace softtest {

// Unit cube with outward-wound triangles.
inline AscModel unitCube() {
    AscModel m;
    m.fileName = "unit cube";
    m.vertices = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0, 0, 0, 1, 1, 0, 1, 1, 1, 1, 0, 1, 1};
    m.faces = {0, 2, 1, 0, 3, 2, 4, 5, 6, 4, 6, 7, 0, 1, 5, 0, 5, 4,
               3, 7, 6, 3, 6, 2, 0, 4, 7, 0, 7, 3, 1, 2, 6, 1, 6, 5};
    m.vertexCount = 8;
    m.faceCount = 12;
    return m;
}

// Regular tetrahedron about the origin, edge 2 * sqrt(2), centre-to-corner sqrt(3).
inline AscModel tetrahedron() {
    AscModel m;
    m.fileName = "tetrahedron";
    m.vertices = {1, 1, 1, 1, -1, -1, -1, 1, -1, -1, -1, 1};
    m.faces = {0, 1, 2, 0, 3, 1, 0, 2, 3, 1, 3, 2};
    m.vertexCount = 4;
    m.faceCount = 4;
    return m;
}

// The shipped blob, generated into a scratch directory and read back.
inline AscModel generatedBlob() {
    const auto dir = std::filesystem::temp_directory_path() / ("velkarn_blob_" + std::to_string(getpid()));
    generateMesh(dir);
    AscModel m;
    m.fileName = (dir / "dat" / "Objekt3.asc").string();
    readAscVertices(m);
    readAscFaces(m);
    std::filesystem::remove_all(dir);
    return m;
}

// Kinetic energy plus the energy stored in the springs.
inline double bodyEnergy(const CSoftObject& body) {
    double energy = 0.0;
    for (const SoftParticle& p : body.particles) energy += 0.5 * p.mass * dot(p.velocity, p.velocity);
    for (const SoftSpring& s : body.springs) {
        const Vector3 d = body.particles[s.a].position - body.particles[s.b].position;
        const double stretch = std::sqrt(dot(d, d)) - s.restLength;
        energy += 0.5 * s.stiffness * stretch * stretch;
    }
    return energy;
}

}  // namespace softtest
