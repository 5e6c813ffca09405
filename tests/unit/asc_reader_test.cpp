// The model reader on the generated mesh, on hand-written files and on every kind of
// malformed input. The reader ends the program on bad input, so those cases are death
// tests; its messages go to standard output, which the dying child sends to standard
// error for the matcher to see.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "assets.h"
#include "softbody/asc_reader.h"

namespace {

const std::string kData = std::string(VELKARN_TEST_DATA) + "/asc/";
const char* const kObjectError = "Error with object file! \n";

AscModel readModel(const std::string& path) {
    AscModel model;
    model.fileName = path;
    readAscVertices(model);
    readAscFaces(model);
    return model;
}

// Runs in the death-test child: standard output joins standard error first.
void readModelLoudly(const std::string& path) {
    std::fflush(stdout);
    dup2(STDERR_FILENO, STDOUT_FILENO);
    readModel(path);
}

std::filesystem::path scratchDir(const std::string& name) {
    const auto dir = std::filesystem::temp_directory_path() / ("velkarn_asc_" + name + "_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    return dir;
}

std::string writeFile(const std::string& name, const std::string& text) {
    const auto path = scratchDir("files") / name;
    std::ofstream(path) << text;
    return path.string();
}

}  // namespace

TEST(AscReader, ReadsTheGeneratedMeshTheSameEveryTime) {
    const auto dir = scratchDir("mesh");
    generateMesh(dir);
    const std::string path = (dir / "dat" / "Objekt3.asc").string();
    const AscModel first = readModel(path);
    EXPECT_EQ(first.vertexCount, 162);
    EXPECT_EQ(first.faceCount, 320);
    ASSERT_EQ(first.vertices.size(), 162u * 3);
    ASSERT_EQ(first.faces.size(), 320u * 3);
    for (const auto index : first.faces) {
        EXPECT_GE(index, 0);
        EXPECT_LT(index, 162);
    }
    // Once per soft body: three reads give the same arrays.
    for (int i = 0; i < 2; ++i) {
        const AscModel again = readModel(path);
        EXPECT_EQ(again.vertices, first.vertices);
        EXPECT_EQ(again.faces, first.faces);
    }
    std::filesystem::remove_all(dir);
}

TEST(AscReader, GeneratorIsDeterministic) {
    const auto a = scratchDir("gen_a"), b = scratchDir("gen_b");
    generateMesh(a);
    generateMesh(b);
    std::ifstream fa(a / "dat" / "Objekt3.asc"), fb(b / "dat" / "Objekt3.asc");
    const std::string ta((std::istreambuf_iterator<char>(fa)), {}), tb((std::istreambuf_iterator<char>(fb)), {});
    EXPECT_FALSE(ta.empty());
    EXPECT_EQ(ta, tb);
    std::filesystem::remove_all(a);
    std::filesystem::remove_all(b);
}

TEST(AscReader, ReadsAHandWrittenCube) {
    // Count words with a trailing comma, edge flags and smoothing lines between faces,
    // and a file that ends right after the last value word.
    const AscModel cube = readModel(kData + "cube.asc");
    ASSERT_EQ(cube.vertexCount, 8);
    ASSERT_EQ(cube.faceCount, 12);
    EXPECT_FLOAT_EQ(cube.vertices[3 * 6 + 0], 1.0f);
    EXPECT_FLOAT_EQ(cube.vertices[3 * 6 + 1], 1.0f);
    EXPECT_FLOAT_EQ(cube.vertices[3 * 6 + 2], 1.0f);
    EXPECT_EQ(cube.faces[0], 0);
    EXPECT_EQ(cube.faces[1], 2);
    EXPECT_EQ(cube.faces[2], 1);
    EXPECT_EQ(cube.faces[33], 1);
    EXPECT_EQ(cube.faces[34], 6);
    EXPECT_EQ(cube.faces[35], 5);
}

TEST(AscReader, ValueWordsSkipTheirTagAndConvertLikeAtof) {
    const AscModel model = readModel(kData + "values.asc");
    ASSERT_EQ(model.vertexCount, 18);
    EXPECT_FLOAT_EQ(model.vertices[0], -150.0f);
    EXPECT_FLOAT_EQ(model.vertices[1], 3.0f);
    EXPECT_FLOAT_EQ(model.vertices[2], 0.0f);  // "Z:junk"
    EXPECT_FLOAT_EQ(model.vertices[3 * 17], 17.0f);
    EXPECT_EQ(model.faceCount, 0);  // a non-numeric count word is 0
    EXPECT_TRUE(model.faces.empty());

    const AscModel face = readModel(kData + "face17.asc");
    ASSERT_EQ(face.faceCount, 1);
    EXPECT_EQ(face.faces[0], 17);
    EXPECT_EQ(face.faces[2], 5);
}

TEST(AscReader, CountsFollowAtoiAndSaturate) {
    EXPECT_EQ(parseLeadingInt("12,"), 12);
    EXPECT_EQ(parseLeadingInt("-3"), -3);
    EXPECT_EQ(parseLeadingInt("x7"), 0);
    EXPECT_EQ(parseLeadingInt("99999999999999999999"), INT32_MAX);
    EXPECT_EQ(parseLeadingInt("-99999999999999999999"), INT32_MIN);
}

using AscReaderDeathTest = ::testing::Test;

TEST_F(AscReaderDeathTest, MissingFileNamesThePath) {
    const std::string path = kData + "no_such_model.asc";
    EXPECT_EXIT(readModelLoudly(path), ::testing::ExitedWithCode(1),
                ::testing::Eq("Unable to open " + path + " file.\n"));
}

TEST_F(AscReaderDeathTest, MalformedFilesFailWithStatusOne) {
    // Each is outside the format in one way; the message is the same for all of them.
    for (const char* name : {"lower_list.asc", "negative_count.asc", "huge_count.asc", "overflow_count.asc",
                             "truncated.asc", "short_value.asc", "long_value.asc", "index_out_of_range.asc",
                             "negative_index.asc"}) {
        SCOPED_TRACE(name);
        EXPECT_EXIT(readModelLoudly(kData + name), ::testing::ExitedWithCode(1), ::testing::Eq(kObjectError));
    }
}

TEST_F(AscReaderDeathTest, OverLongWordsAreRejected) {
    const std::string word99(99, 'w');
    const std::string fine = writeFile("fine.asc", "Named object: " + word99 +
                                                       "\nTri-mesh, Vertices: 0 Faces: 0\nVertex List:\nFace list:\n");
    const AscModel model = readModel(fine);  // 99 characters still fit
    EXPECT_EQ(model.vertexCount, 0);

    const std::string longWord = writeFile(
        "long_word.asc", "Named object: " + word99 + "w\nTri-mesh, Vertices: 0 Faces: 0\nVertex List:\nFace list:\n");
    EXPECT_EXIT(readModelLoudly(longWord), ::testing::ExitedWithCode(1), ::testing::Eq(kObjectError));

    const std::string value19 = "X:" + std::string(17, '1');
    const std::string fits =
        writeFile("value19.asc", "Vertices: 1 Faces: 0 Vertex List: 0: " + value19 + " Y:0 Z:0 Face list:");
    EXPECT_FLOAT_EQ(readModel(fits).vertices[0], 11111111111111111.0f);
    const std::string tooLong =
        writeFile("value20.asc", "Vertices: 1 Faces: 0 Vertex List: 0: " + value19 + "1 Y:0 Z:0 Face list:");
    EXPECT_EXIT(readModelLoudly(tooLong), ::testing::ExitedWithCode(1), ::testing::Eq(kObjectError));
}

TEST_F(AscReaderDeathTest, KeywordsMustStandAlone) {
    // A count glued to its keyword is not the keyword; the scan runs into the end.
    const std::string glued = writeFile("glued.asc", "Tri-mesh, Vertices:8 Faces: 0\nVertex List:\nFace list:\n");
    EXPECT_EXIT(readModelLoudly(glued), ::testing::ExitedWithCode(1), ::testing::Eq(kObjectError));
    const std::string blank = writeFile("blank.asc", "   \n\t\n");
    EXPECT_EXIT(readModelLoudly(blank), ::testing::ExitedWithCode(1), ::testing::Eq(kObjectError));
}
