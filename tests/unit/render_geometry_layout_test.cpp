#include <gtest/gtest.h>

#include <string>

#include "render/geometry_layout.h"

namespace {

const std::string kV150 = "#version 150 compatibility";
const std::string kLayout = "layout(lines) in; layout(line_strip, max_vertices = 1024) out;\n";
const std::string kHead = kV150 + "\n" + kLayout;

// Sources in the EXT dialect and what drivers without the extension are given instead
// (the demo's own sources are built so under llvmpipe by render_resources_test).
TEST(RenderGeometryTranslation, SourcesBecomeGlsl150) {
    const std::string v = "#version 120\n";
    const std::string untouched =
        "// varying in vec4 old[]; gl_PositionIn[0] #extension GL_EXT_geometry_shader4 : require\n"
        "/* varying out\n   gl_PositionIn[1] */\nvarying vec4 plain;\nvec4 varyingin;\n"
        "float inner = gl_PositionInner[0] + my_gl_PositionIn[0] + x.gl_PositionIn;\nint id = gl_PrimitiveIDIn;\n"
        "float e = 1e-6 + 2.5 + .5;\nvec4 whole = gl_PositionIn;\n#define P(i) gl_Position\n"
        "#extension GL_ARB_gpu_shader5 : enable\n";
    const struct {
        std::string source, expected;
    } cases[] = {
        {v + "x;\n", kHead + "x;\n"},
        {"  # version 120  // EXT\nx;\n", "  " + kV150 + "  // EXT\n" + kLayout + "x;\n"},
        {"#version 120 /* one\ntwo */\nx;\n", kV150 + " /* one\ntwo */\n" + kLayout + "x;\n"},
        {"#version 120", kHead},
        {"", kHead},
        {"// #version 120\nx;\n", kHead + "// #version 120\nx;\n"},
        {"#extension GL_EXT_geometry_shader4 : enable\nx;\n", kHead + "x;\n"},
        {v + "  #  extension  GL_EXT_geometry_shader4:enable  \nx;\n", kHead + "x;\n"},
        {v + "#extension GL_EXT_geometry_shader4 : require", kHead},
        {v + "#extension GL_EXT_geometry_shader4 : require // needed\nx;\n", kHead + "// needed\nx;\n"},
        {v + "p = gl_PositionIn[i + 1].xy;", kHead + "p = gl_in[i + 1].gl_Position.xy;"},
        {v + "p = gl_PositionIn [ 1 ];", kHead + "p = gl_in[ 1 ].gl_Position;"},
        {v + "p = gl_PositionIn[int(gl_PositionIn[0].w)];",
         kHead + "p = gl_in[int(gl_in[0].gl_Position.w)].gl_Position;"},
        {v + "p = gl_PositionIn[i /* ] */ ];", kHead + "p = gl_in[i /* ] */ ].gl_Position;"},
        {v + "c = gl_FrontColorIn[1]; t = gl_TexCoordIn[0][2];",
         kHead + "c = gl_in[1].gl_FrontColor; t = gl_in[0].gl_TexCoord[2];"},
        {v + "i < gl_VerticesIn;", kHead + "i < gl_in.length();"},
        {v + "p = gl_PositionIn\n[0];", kHead + "p = \ngl_in[0].gl_Position;"},  // line numbers kept
        {v + "varying in vec4 a[];\nvarying out vec4 b;\n", kHead + "in vec4 a[];\nout vec4 b;\n"},
        {v + "varying\nin vec4 a[];", kHead + "\nin vec4 a[];"},
        {v + "flat varying out vec4 b;", kHead + "flat out vec4 b;"},
        {v + untouched, kHead + untouched},
    };
    for (const auto& c : cases) EXPECT_EQ(translateGeometryStage(c.source, 1024), c.expected) << c.source;
    for (const int n : {0, -5}) EXPECT_NE(translateGeometryStage(v, n).find("max_vertices = 1)"), std::string::npos);
}

TEST(RenderGeometryLayout, VertexLimitStaysWithinTheComponentBudget) {
    const struct {
        int maxVertices, maxComponents, expected;
    } cases[] = {{1024, 0, 1024}, {1024, 16384, 1024}, {1024, 1024, 128}, {256, 1024, 128}, {0, 0, 1}, {1024, 4, 1}};
    for (const auto& c : cases) EXPECT_EQ(geometryVertexLimit(c.maxVertices, c.maxComponents, 8), c.expected);
}

}  // namespace
