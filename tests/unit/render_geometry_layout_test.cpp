#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>

#include "render/geometry_layout.h"

namespace {

constexpr const char* kVersion = "#version 150 compatibility\n";
constexpr const char* kLayout1024 = "layout(lines) in; layout(line_strip, max_vertices = 1024) out;\n";

std::string translate(const std::string& source) { return translateGeometryStage(source, 1024); }

TEST(RenderGeometryTranslation, WholeShaderInTheExtDialect) {
    const std::string source =
        "// lines\n"
        "#version 120\n"
        "#extension GL_EXT_geometry_shader4 : require\n"
        "\n"
        "varying in vec4 vertexColour[];\n"
        "varying out vec4 colour;\n"
        "\n"
        "void main()\n"
        "{\n"
        "    for (int i = 0; i < 2; ++i) {\n"
        "        colour = vertexColour[i];\n"
        "        gl_Position = gl_PositionIn[i] + vec4(0.1 * gl_PositionIn[i].w, 0.0, 0.0, 0.0);\n"
        "        EmitVertex();\n"
        "    }\n"
        "    EndPrimitive();\n"
        "}\n";
    const std::string expected = std::string("// lines\n") + kVersion + kLayout1024 +
                                 "\n"
                                 "in vec4 vertexColour[];\n"
                                 "out vec4 colour;\n"
                                 "\n"
                                 "void main()\n"
                                 "{\n"
                                 "    for (int i = 0; i < 2; ++i) {\n"
                                 "        colour = vertexColour[i];\n"
                                 "        gl_Position = gl_in[i].gl_Position + vec4(0.1 * gl_in[i].gl_Position.w, "
                                 "0.0, 0.0, 0.0);\n"
                                 "        EmitVertex();\n"
                                 "    }\n"
                                 "    EndPrimitive();\n"
                                 "}\n";
    EXPECT_EQ(translate(source), expected);
}

TEST(RenderGeometryTranslation, VersionLineReplaced) {
    EXPECT_EQ(translate("#version 120\nx;\n"), std::string(kVersion) + kLayout1024 + "x;\n");
    // Indented, spaces after '#', a trailing comment kept.
    EXPECT_EQ(translate("  # version 120  // EXT dialect\nx;\n"),
              std::string("  #version 150 compatibility  // EXT dialect\n") + kLayout1024 + "x;\n");
    // The layout goes after the line a block comment on the #version line ends on.
    EXPECT_EQ(translate("#version 120 /* one\ntwo */\nx;\n"),
              std::string("#version 150 compatibility /* one\ntwo */\n") + kLayout1024 + "x;\n");
    // #version on the last line, without a line end.
    EXPECT_EQ(translate("#version 120"), std::string(kVersion) + kLayout1024);
    // A #version that only a comment mentions is no #version.
    EXPECT_EQ(translate("// #version 120\nx;\n"), std::string(kVersion) + kLayout1024 + "// #version 120\nx;\n");
}

TEST(RenderGeometryTranslation, SourceWithoutVersionGetsOne) {
    EXPECT_EQ(translate("varying in vec4 c[];\n"), std::string(kVersion) + kLayout1024 + "in vec4 c[];\n");
    EXPECT_EQ(translate("#extension GL_EXT_geometry_shader4 : enable\nx;\n"),
              std::string(kVersion) + kLayout1024 + "x;\n");
    EXPECT_EQ(translate(""), std::string(kVersion) + kLayout1024);
}

TEST(RenderGeometryTranslation, ExtensionLineDropped) {
    const std::string head = std::string(kVersion) + kLayout1024;
    EXPECT_EQ(translate("#version 120\n#extension GL_EXT_geometry_shader4 : require\nx;\n"), head + "x;\n");
    EXPECT_EQ(translate("#version 120\n  #  extension  GL_EXT_geometry_shader4:enable  \nx;\n"), head + "x;\n");
    EXPECT_EQ(translate("#version 120\n#extension GL_EXT_geometry_shader4 : require"), head);
    // A comment on the line stays, and so does the line.
    EXPECT_EQ(translate("#version 120\n#extension GL_EXT_geometry_shader4 : require // needed\nx;\n"),
              head + "// needed\nx;\n");
    // Other extensions and other directives are left alone.
    EXPECT_EQ(translate("#version 120\n#extension GL_ARB_gpu_shader5 : enable\n#define N 2\n"),
              head + "#extension GL_ARB_gpu_shader5 : enable\n#define N 2\n");
}

TEST(RenderGeometryTranslation, VertexCountWrittenAndAtLeastOne) {
    EXPECT_NE(translateGeometryStage("#version 120\n", 256).find("layout(line_strip, max_vertices = 256) out;"),
              std::string::npos);
    EXPECT_NE(translateGeometryStage("#version 120\n", 0).find("max_vertices = 1)"), std::string::npos);
    EXPECT_NE(translateGeometryStage("#version 120\n", -5).find("max_vertices = 1)"), std::string::npos);
}

TEST(RenderGeometryTranslation, PerVertexInputsBecomeGlIn) {
    const std::string head = std::string(kVersion) + kLayout1024;
    const auto body = [](const std::string& code) { return translate("#version 120\n" + code); };
    EXPECT_EQ(body("p = gl_PositionIn[i + 1];"), head + "p = gl_in[i + 1].gl_Position;");
    EXPECT_EQ(body("p = gl_PositionIn[0].xy;"), head + "p = gl_in[0].gl_Position.xy;");
    EXPECT_EQ(body("p = gl_PositionIn [ 1 ];"), head + "p = gl_in[ 1 ].gl_Position;");
    EXPECT_EQ(body("p = gl_PositionIn[order[i]];"), head + "p = gl_in[order[i]].gl_Position;");
    EXPECT_EQ(body("p = gl_PositionIn[int(gl_PositionIn[0].w)];"),
              head + "p = gl_in[int(gl_in[0].gl_Position.w)].gl_Position;");
    EXPECT_EQ(body("p = gl_PositionIn[i /* ] */ ];"), head + "p = gl_in[i /* ] */ ].gl_Position;");
    EXPECT_EQ(body("c = gl_FrontColorIn[1]; t = gl_TexCoordIn[0][2];"),
              head + "c = gl_in[1].gl_FrontColor; t = gl_in[0].gl_TexCoord[2];");
    EXPECT_EQ(body("for (int i = 0; i < gl_VerticesIn; ++i) {}"),
              head + "for (int i = 0; i < gl_in.length(); ++i) {}");
    // Line ends inside the rewritten text stay, so later lines keep their numbers.
    EXPECT_EQ(body("p = gl_PositionIn\n[0];"), head + "p = \ngl_in[0].gl_Position;");
}

TEST(RenderGeometryTranslation, VaryingQualifiers) {
    const std::string head = std::string(kVersion) + kLayout1024;
    const auto body = [](const std::string& code) { return translate("#version 120\n" + code); };
    EXPECT_EQ(body("varying in vec4 a[];\nvarying out vec4 b;\n"), head + "in vec4 a[];\nout vec4 b;\n");
    EXPECT_EQ(body("  varying\tin  vec4 a[];"), head + "  in  vec4 a[];");
    EXPECT_EQ(body("varying\nin vec4 a[];"), head + "\nin vec4 a[];");
    EXPECT_EQ(body("flat varying out vec4 b;"), head + "flat out vec4 b;");
}

TEST(RenderGeometryTranslation, NothingElseChanged) {
    const std::string code =
        "// varying in vec4 old[]; gl_PositionIn[0] #extension GL_EXT_geometry_shader4 : require\n"
        "/* varying out\n   gl_PositionIn[1] */\n"
        "varying vec4 plain;\n"
        "vec4 varyingin;\n"
        "float inner = gl_PositionInner[0] + my_gl_PositionIn[0] + x.gl_PositionIn;\n"
        "int id = gl_PrimitiveIDIn;\n"
        "float e = 1e-6 + 2.5 + .5;\n"
        "vec4 whole = gl_PositionIn;\n"
        "#define P(i) gl_Position\n";
    EXPECT_EQ(translate("#version 120\n" + code), std::string(kVersion) + kLayout1024 + code);
}

TEST(RenderGeometryTranslation, LinesAfterTheExtensionKeepTheirNumbers) {
    const std::string source =
        "// comment\n#version 120\n#extension GL_EXT_geometry_shader4 : require\nvarying in vec4 c[];\n"
        "void main() {\n  gl_Position = gl_PositionIn[0];\n}\n";
    const std::string out = translate(source);
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), std::count(source.begin(), source.end(), '\n'));
    std::istringstream lines(out);
    std::string line;
    for (int i = 1; i <= 6; ++i) std::getline(lines, line);
    EXPECT_EQ(line, "  gl_Position = gl_in[0].gl_Position;");
}

// The demo's own geometry sources: nothing of the EXT dialect is left after the rewrite.
TEST(RenderGeometryTranslation, DemoGeometrySourcesLeaveNoExtDialect) {
    for (const char* name : {"geom-geom.glsl", "geom-geom-blobe.glsl"}) {
        std::ifstream in(std::string(VELKARN_SOURCE_DIR) + "/dat/" + name);
        ASSERT_TRUE(in) << name;
        std::stringstream text;
        text << in.rdbuf();
        const std::string source = text.str();
        ASSERT_NE(source.find("#extension GL_EXT_geometry_shader4"), std::string::npos) << name;
        const std::string out = translate(source);
        EXPECT_NE(out.find(kVersion), std::string::npos) << name;
        EXPECT_NE(out.find(kLayout1024), std::string::npos) << name;
        EXPECT_NE(out.find("gl_in["), std::string::npos) << name;
        for (const char* gone : {"#extension", "varying", "gl_PositionIn", "#version 120"}) {
            EXPECT_EQ(out.find(gone), std::string::npos) << name << ": " << gone;
        }
    }
}

TEST(RenderGeometryLayout, VertexLimitStaysWithinTheComponentBudget) {
    EXPECT_EQ(geometryVertexLimit(1024, 0, 8), 1024);      // budget unknown
    EXPECT_EQ(geometryVertexLimit(1024, 16384, 8), 1024);  // budget large enough
    EXPECT_EQ(geometryVertexLimit(1024, 1024, 8), 128);    // budget binds
    EXPECT_EQ(geometryVertexLimit(256, 1024, 8), 128);
    EXPECT_EQ(geometryVertexLimit(0, 0, 8), 1);
    EXPECT_EQ(geometryVertexLimit(1024, 4, 8), 1);
}

}  // namespace
