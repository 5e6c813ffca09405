#include <gtest/gtest.h>

#include <string>

#include "render/shaders.h"

namespace {

std::string dataFile(const char* name) { return std::string(VELKARN_TEST_DATA) + "/render/" + name; }

TEST(RenderTextFile, CrLfArrivesAsLfWithNothingAfterTheText) {
    const auto text = readTextFile(dataFile("crlf.glsl").c_str());
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(*text, "void main()\n{\n}\n");
    // The terminator stands right after the translated text, not at the file size.
    EXPECT_EQ(std::char_traits<char>::length(text->c_str()), text->size());
}

TEST(RenderTextFile, LoneCarriageReturnsStay) {
    const auto text = readTextFile(dataFile("lone_cr.txt").c_str());
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(*text, "a\rb\n");
}

TEST(RenderTextFile, OneByteFileGivesOneCharacter) {
    const auto text = readTextFile(dataFile("one_byte.txt").c_str());
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(*text, "x");
}

TEST(RenderTextFile, EmptyMissingAndNullGiveNothing) {
    EXPECT_FALSE(readTextFile(dataFile("empty.txt").c_str()).has_value());
    EXPECT_FALSE(readTextFile(dataFile("no_such_file.glsl").c_str()).has_value());
    EXPECT_FALSE(readTextFile(nullptr).has_value());
}

TEST(RenderTextFile, DirectoryGivesNothing) {
    EXPECT_FALSE(readTextFile(VELKARN_TEST_DATA).has_value());
}

TEST(RenderTextFile, ShippedShaderSourcesAreReadable) {
    for (const char* name : {"multiply_vertex.glsl", "negative_fragment.glsl", "multiply_fragment.glsl",
                             "overlay_fragment.glsl", "dof_fragment.glsl", "replace_fragment.glsl", "geom-vert.glsl",
                             "geom-frag.glsl", "geom-geom.glsl", "geom-blob-frag.glsl", "geom-geom-blobe.glsl"}) {
        const std::string path = std::string(VELKARN_SOURCE_DIR) + "/dat/" + name;
        const auto text = readTextFile(path.c_str());
        ASSERT_TRUE(text.has_value()) << path;
        EXPECT_NE(text->find("#version"), std::string::npos) << path;
        EXPECT_NE(text->find("void main()"), std::string::npos) << path;
    }
}

}  // namespace
