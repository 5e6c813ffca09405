// Building soft bodies: particles, faces, springs once per edge, the volume guard.
#include <gtest/gtest.h>

#include <cmath>

#include "softbody/soft_object.h"
#include "testing/softbody_models.h"

using softtest::tetrahedron;
using softtest::unitCube;

TEST(SoftBodyModel, VectorOperations) {
    const Vector3 a{1, 2, 3}, b{4, -5, 6};
    const Vector3 s = a + b, d = a - b, m = a * 2.0f, c = cross(a, b);
    EXPECT_EQ(s.x, 5.0f);
    EXPECT_EQ(d.y, 7.0f);
    EXPECT_EQ(m.z, 6.0f);
    EXPECT_EQ(dot(a, b), 12.0f);
    EXPECT_EQ(c.x, 27.0f);
    EXPECT_EQ(c.y, 6.0f);
    EXPECT_EQ(c.z, -13.0f);
}

TEST(SoftBodyModel, ParticlesAreScaledThenPlaced) {
    AscModel m = tetrahedron();
    m.vertices[0] = 1;
    m.vertices[1] = 2;
    m.vertices[2] = 3;
    const CSoftObject body(m, Vector3{1.5f, -4.0f, 0.0f}, 0.85f, 2.0f, 10.0f, 1.0f, 7.0f);
    ASSERT_EQ(body.particles.size(), 4u);
    EXPECT_FLOAT_EQ(body.particles[0].position.x, 2.35f);
    EXPECT_FLOAT_EQ(body.particles[0].position.y, -2.3f);
    EXPECT_FLOAT_EQ(body.particles[0].position.z, 2.55f);
    EXPECT_EQ(body.particles[0].mass, 2.0f);
    EXPECT_EQ(body.particles[0].invMass, 0.5f);
    EXPECT_EQ(body.particles[0].velocity.x, 0.0f);
    EXPECT_EQ(body.pressure, 7.0f);
    EXPECT_EQ(body.gravity.y, 0.0f);
    ASSERT_EQ(body.faces.size(), 4u);
    EXPECT_EQ(body.faces[1].p0, 0);
    EXPECT_EQ(body.faces[1].p1, 3);
    EXPECT_EQ(body.faces[1].p2, 1);
    const SoftParticle massless(0.0f, Vector3{}, Vector3{});
    EXPECT_EQ(massless.invMass, 0.0f);
}

TEST(SoftBodyModel, OneSpringPerEdgeOnClosedMeshes) {
    const CSoftObject cube(unitCube(), Vector3{}, 1.0f, 1.0f, 100.0f, 1.0f, 0.0f);
    EXPECT_EQ(cube.springs.size(), 18u);  // 3F/2 for F = 12
    const CSoftObject tet(tetrahedron(), Vector3{}, 1.0f, 1.0f, 100.0f, 1.0f, 0.0f);
    EXPECT_EQ(tet.springs.size(), 6u);
    EXPECT_FLOAT_EQ(tet.springs[0].restLength, std::sqrt(8.0f));
    EXPECT_EQ(tet.springs[0].stiffness, 100.0f);
    // First face (0, 1, 2) gives its edges in the order (p0, p1), (p1, p2), (p2, p0).
    EXPECT_EQ(tet.springs[0].a, 0);
    EXPECT_EQ(tet.springs[0].b, 1);
    EXPECT_EQ(tet.springs[2].a, 2);
    EXPECT_EQ(tet.springs[2].b, 0);

    const AscModel blob = softtest::generatedBlob();
    const CSoftObject body(blob, Vector3{}, 0.85f, 1.0f, 1e6f, 480.0f, 0.0f);
    EXPECT_EQ(body.springs.size(), 480u);
}

TEST(SoftBodyModel, SeamVerticesShareTheirSprings) {
    // Vertex 4 duplicates vertex 0 at the same place; the face using it repeats an edge
    // by position only, so no spring is added for it.
    AscModel m = tetrahedron();
    m.vertices.insert(m.vertices.end(), {1, 1, 1});
    m.vertexCount = 5;
    m.faces[3 * 1] = 4;  // face (4, 3, 1) instead of (0, 3, 1)
    const CSoftObject body(m, Vector3{}, 1.0f, 1.0f, 1.0f, 0.0f, 0.0f);
    EXPECT_EQ(body.particles.size(), 5u);
    EXPECT_EQ(body.springs.size(), 6u);
}

TEST(SoftBodyModel, UnitCubeVolumeMeasure) {
    CSoftObject cube(unitCube(), Vector3{}, 1.0f, 1.0f, 1.0f, 0.0f, 0.0f);
    cube.computeForces();
    // Twice the volume times the 0.333 weight on three corners.
    EXPECT_NEAR(cube.volume, 2.0 * 0.999, 1e-5);
    EXPECT_NEAR(cube.invVolume, 1.0 / 1.998, 1e-5);
    EXPECT_NEAR(meshVolume(cube), cube.volume, 1e-6);
    // A corner normal gathers 0.333 of the unit normals of its faces.
    for (const SoftFace& f : cube.faces) EXPECT_FLOAT_EQ(f.area, 1.0f);
    EXPECT_NEAR(cube.particles[0].normal.x, -0.333 * 2, 1e-6);  // faces 8 and 9
}

using SoftBodyModelDeathTest = ::testing::Test;

TEST_F(SoftBodyModelDeathTest, FlatOrOpenMeshesAreRejectedAtBuild) {
    AscModel flat;
    flat.fileName = "flat square";
    flat.vertices = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
    flat.faces = {0, 1, 2, 0, 2, 3, 0, 2, 1, 0, 3, 2};
    flat.vertexCount = 4;
    flat.faceCount = 4;
    EXPECT_EXIT(CSoftObject(flat, Vector3{}, 1, 1, 1, 0, 0), ::testing::ExitedWithCode(1),
                "flat square");

    // A double-sided square standing across x: its terms cancel to rounding noise.
    AscModel across = flat;
    across.fileName = "square across x";
    across.vertices = {3.3f, 0, 0, 3.3f, 1.7f, 0, 3.3f, 1.7f, 0.9f, 3.3f, 0, 0.9f};
    EXPECT_EXIT(CSoftObject(across, Vector3{0.1f, 0, 0}, 1, 1, 1, 0, 0), ::testing::ExitedWithCode(1),
                "square across x");

    AscModel single = flat;  // one triangle in a plane of constant z: open, no volume
    single.fileName = "one triangle";
    single.faces = {0, 1, 2};
    single.faceCount = 1;
    EXPECT_EXIT(CSoftObject(single, Vector3{}, 1, 1, 1, 0, 0), ::testing::ExitedWithCode(1),
                "one triangle");

    AscModel standing = flat;  // one triangle across x: a volume term of its own, but open
    standing.fileName = "triangle across x";
    standing.vertices = {1, 0, 0, 1, 1, 0, 1, 0, 1, 1, 1, 1};
    standing.faces = {0, 1, 2};
    standing.faceCount = 1;
    EXPECT_EXIT(CSoftObject(standing, Vector3{}, 1, 1, 1, 0, 0), ::testing::ExitedWithCode(1),
                "triangle across x is not a closed surface");

    AscModel lidless = unitCube();  // the side at x = 1 gone; moved off x = 0, the rest measures a volume
    lidless.fileName = "open box";
    lidless.faces.resize(lidless.faces.size() - 6);
    lidless.faceCount -= 2;
    EXPECT_EXIT(CSoftObject(lidless, Vector3{0.5f, 0, 0}, 1, 1, 1, 0, 0), ::testing::ExitedWithCode(1),
                "open box is not a closed surface");

    AscModel doubled = tetrahedron();  // one face twice: three edges border three faces
    doubled.fileName = "doubled face";
    doubled.faces.insert(doubled.faces.end(), {0, 1, 2});
    doubled.faceCount += 1;
    EXPECT_EXIT(CSoftObject(doubled, Vector3{}, 1, 1, 1, 0, 0), ::testing::ExitedWithCode(1),
                "doubled face is not a closed surface");

    AscModel empty;
    empty.fileName = "empty model";
    EXPECT_EXIT(CSoftObject(empty, Vector3{}, 1, 1, 1, 0, 0), ::testing::ExitedWithCode(1),
                "empty model");
}

TEST_F(SoftBodyModelDeathTest, FaceIndexOutsideTheModelIsRejected) {
    AscModel bad = tetrahedron();
    bad.faces[5] = 4;
    EXPECT_EXIT(
        {
            dup2(STDERR_FILENO, STDOUT_FILENO);
            CSoftObject(bad, Vector3{}, 1, 1, 1, 0, 0);
        },
        ::testing::ExitedWithCode(1), ::testing::Eq("Error with object file! \n"));
}

TEST_F(SoftBodyModelDeathTest, MissingShippedModelStopsTheBuild) {
    // Run from a directory without dat/: the default constructor reads dat/Objekt3.asc.
    const auto dir = std::filesystem::temp_directory_path() / ("velkarn_nodat_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    EXPECT_EXIT(
        {
            std::filesystem::current_path(dir);
            dup2(STDERR_FILENO, STDOUT_FILENO);
            CSoftObject(Vector3{}, 1, 1, 1, 1, 0);
        },
        ::testing::ExitedWithCode(1), ::testing::Eq("Unable to open dat/Objekt3.asc file.\n"));
    std::filesystem::remove_all(dir);
}
