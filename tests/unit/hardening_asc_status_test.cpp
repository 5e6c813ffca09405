// The non-exiting form of the model reader that the fuzzer drives: the same verdicts as
// the exiting reader, as a status, with the model left alone on failure.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "softbody/asc_reader.h"

namespace {

const std::string kData = std::string(VELKARN_TEST_DATA) + "/asc/";

AscModel modelNamed(const std::string& path) {
    AscModel model;
    model.fileName = path;
    return model;
}

}  // namespace

TEST(HardeningAscStatus, MissingFileIsCannotOpen) {
    AscModel model = modelNamed(kData + "no_such_model.asc");
    EXPECT_EQ(tryReadAscVertices(model), AscStatus::CannotOpen);
    EXPECT_EQ(tryReadAscFaces(model), AscStatus::CannotOpen);
}

TEST(HardeningAscStatus, GoodFilesReadAsTheExitingReaderDoes) {
    AscModel model = modelNamed(kData + "cube.asc");
    ASSERT_EQ(tryReadAscVertices(model), AscStatus::Ok);
    ASSERT_EQ(tryReadAscFaces(model), AscStatus::Ok);
    AscModel again = modelNamed(kData + "cube.asc");
    readAscVertices(again);
    readAscFaces(again);
    EXPECT_EQ(model.vertices, again.vertices);
    EXPECT_EQ(model.faces, again.faces);
}

TEST(HardeningAscStatus, MalformedFilesLeaveTheModelAlone) {
    for (const char* name : {"lower_list.asc", "negative_count.asc", "huge_count.asc", "overflow_count.asc",
                             "truncated.asc", "short_value.asc", "long_value.asc"}) {
        SCOPED_TRACE(name);
        AscModel model = modelNamed(kData + name);
        model.vertexCount = 5;
        model.vertices.assign(15, 2.0f);
        const AscStatus vertices = tryReadAscVertices(model);
        const AscStatus faces = tryReadAscFaces(model);
        EXPECT_TRUE(vertices == AscStatus::Malformed || faces == AscStatus::Malformed);
        if (vertices == AscStatus::Malformed) {
            EXPECT_EQ(model.vertexCount, 5);
            EXPECT_EQ(model.vertices.size(), 15u);
        }
    }
}

TEST(HardeningAscStatus, FaceIndicesAreCheckedAgainstTheVertexList) {
    for (const char* name : {"index_out_of_range.asc", "negative_index.asc"}) {
        SCOPED_TRACE(name);
        AscModel model = modelNamed(kData + name);
        ASSERT_EQ(tryReadAscVertices(model), AscStatus::Ok);
        EXPECT_EQ(tryReadAscFaces(model), AscStatus::Malformed);
        EXPECT_TRUE(model.faces.empty());
        EXPECT_EQ(model.faceCount, 0);
    }
}

TEST(HardeningAscStatus, StreamPassesReadFromAnOpenFile) {
    // The fuzzer's route: one in-memory stream, rewound between the passes.
    std::string text = "Tri-mesh, Vertices: 3 Faces: 1\nVertex List:\nVertex 0: X:0 Y:0 Z:0\n"
                       "Vertex 1: X:1 Y:0 Z:0\nVertex 2: X:0 Y:1 Z:0\nFace list:\nFace 0: A:0 B:1 C:2 AB:1\n";
    std::FILE* const file = fmemopen(text.data(), text.size(), "r");
    ASSERT_NE(file, nullptr);
    AscModel model;
    ASSERT_EQ(scanAscVertices(file, model), AscStatus::Ok);
    std::rewind(file);
    ASSERT_EQ(scanAscFaces(file, model), AscStatus::Ok);
    std::fclose(file);
    EXPECT_EQ(model.vertexCount, 3);
    EXPECT_FLOAT_EQ(model.vertices[3], 1.0f);
    EXPECT_EQ(model.faces, (std::vector<std::int32_t>{0, 1, 2}));
}
