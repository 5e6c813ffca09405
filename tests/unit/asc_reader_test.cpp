// The model reader on good files and on every kind of malformed input, through both its
// status form (the fuzzer's) and its exiting form (the demo's, with its exact messages).
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "sim/asc_reader.h"
#include "testing/scratch_files.h"

namespace {

const std::string kData = std::string(VELKARN_TEST_DATA) + "/asc/";
// Each test writes into its own scratch folder (a local, so a death test's child, which
// leaves by exit(), does not remove it under the parent).
std::string written(const testfiles::ScratchDir& dir, const std::string& name, const std::string& text) {
    testfiles::writeFile(dir.file(name), text);
    return dir.file(name);
}

// Files around the 99-character word and 19-character value limits.
std::string namedObject(int length) {
    return "Named object: " + std::string(length, 'w') + "\nTri-mesh, Vertices: 0 Faces: 0\nVertex List:\nFace list:\n";
}
std::string oneVertex(int digits) {
    return "Vertices: 1 Faces: 0 Vertex List: 0: X:" + std::string(digits, '1') + " Y:0 Z:0 Face list:";
}

// A count keyword, a label and a value with a NUL byte and more after it: for the comparisons
// and conversions a word ends there, as a C string.
const std::string kNulModel("Vertices:\0z 1 Faces: 0 Vertex List: 0:\0 X:25\0z Y:0 Z:0 Face list:", 65);

AscModel named(const std::string& path) { return {.fileName = path, .vertices = {}, .faces = {}}; }

// In the death-test child: the messages on standard output join standard error.
void readLoudly(const std::string& path) {
    std::fflush(stdout);
    dup2(STDERR_FILENO, STDOUT_FILENO);
    AscModel model = named(path);
    readAscVertices(model);
    readAscFaces(model);
}

}  // namespace

TEST(AscReader, ReadsGoodFiles) {
    const testfiles::ScratchDir scratch;
    const struct {
        std::string path;
        int vertexCount, faceCount;
        std::vector<std::pair<int, float>> vertices;  // index into the list, value
        std::vector<std::pair<int, int>> faces;
    } cases[] = {
        // Count words with a trailing comma, edge flags and smoothing lines between faces.
        {kData + "cube.asc", 8, 12, {{18, 1}, {20, 1}}, {{1, 2}, {33, 1}, {35, 5}}},
        // Values skip their tag and convert like atof; a non-numeric count word is 0.
        {kData + "values.asc", 18, 0, {{0, -150}, {1, 3}, {2, 0}, {51, 17}}, {}},
        {kData + "face17.asc", 18, 1, {}, {{0, 17}, {2, 5}}},
        {written(scratch, "word99.asc", namedObject(99)), 0, 0, {}, {}},
        {written(scratch, "value19.asc", oneVertex(17)), 1, 0, {{0, 11111111111111111.0f}}, {}},
        {written(scratch, "nul.asc", kNulModel), 1, 0, {{0, 25}}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        AscModel model = named(c.path);
        ASSERT_EQ(tryReadAscVertices(model), AscStatus::Ok);
        ASSERT_EQ(tryReadAscFaces(model), AscStatus::Ok);
        ASSERT_EQ(model.vertexCount, c.vertexCount);
        ASSERT_EQ(model.faceCount, c.faceCount);
        for (const auto& [i, v] : c.vertices) EXPECT_FLOAT_EQ(model.vertices.at(i), v) << i;
        for (const auto& [i, v] : c.faces) EXPECT_EQ(model.faces.at(i), v) << i;
    }
    EXPECT_EQ(parseLeadingInt("4294967296"), INT32_MAX);  // saturates rather than wrapping to 0
    EXPECT_EQ(parseLeadingInt("-99999999999999999999"), INT32_MIN);
}

using AscReaderDeathTest = ::testing::Test;

TEST_F(AscReaderDeathTest, MalformedFilesAreRefused) {
    const testfiles::ScratchDir scratch;
    std::vector<std::string> paths = {
        written(scratch, "word100.asc", namedObject(100)), written(scratch, "value20.asc", oneVertex(18)),
        // A count glued to its keyword is not the keyword: the scan runs into the end.
        written(scratch, "glued.asc", "Tri-mesh, Vertices:8 Faces: 0\nVertex List:\nFace list:\n"),
        written(scratch, "blank.asc", "   \n\t\n")};
    for (const char* name :
         {"lower_list.asc", "negative_count.asc", "huge_count.asc", "overflow_count.asc", "truncated.asc",
          "short_value.asc", "long_value.asc", "index_out_of_range.asc", "negative_index.asc"}) {
        paths.push_back(kData + name);
    }
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);  // the status form leaves the model as it was
        AscModel model{.fileName = path, .vertexCount = 5, .vertices = std::vector<float>(15, 2.0f), .faces = {}};
        const AscStatus vertices = tryReadAscVertices(model);
        const AscStatus faces = tryReadAscFaces(model);
        EXPECT_TRUE(vertices == AscStatus::Malformed || faces == AscStatus::Malformed);
        EXPECT_EQ(model.vertices.size(), vertices == AscStatus::Malformed ? 15u : 3u * model.vertexCount);
        EXPECT_TRUE(faces == AscStatus::Ok || model.faces.empty());
        EXPECT_EXIT(readLoudly(path), ::testing::ExitedWithCode(1), ::testing::Eq("Error with object file! \n"));
    }
}
