#include <gtest/gtest.h>

#include "render/geometry_layout.h"

namespace {

constexpr const char* kLayout1024 = "layout(lines) in;\nlayout(line_strip, max_vertices = 1024) out;\n";

TEST(RenderGeometryLayout, GoesRightAfterTheVersionLine) {
    const std::string source = "// lines\n#version 150 compatibility\nvoid main() {}\n";
    EXPECT_EQ(insertGeometryLayout(source, 1024),
              std::string("// lines\n#version 150 compatibility\n") + kLayout1024 + "void main() {}\n");
}

TEST(RenderGeometryLayout, IndentedVersionAndVersionOnLastLine) {
    EXPECT_EQ(insertGeometryLayout("  #version 150\nx", 1024), std::string("  #version 150\n") + kLayout1024 + "x");
    EXPECT_EQ(insertGeometryLayout("#version 150", 1024), std::string("#version 150\n") + kLayout1024);
}

TEST(RenderGeometryLayout, NoVersionPutsLayoutFirst) {
    EXPECT_EQ(insertGeometryLayout("void main() {}\n", 1024), std::string(kLayout1024) + "void main() {}\n");
    EXPECT_EQ(insertGeometryLayout("", 1024), kLayout1024);
}

TEST(RenderGeometryLayout, VertexCountIsWrittenAndAtLeastOne) {
    EXPECT_NE(insertGeometryLayout("", 256).find("max_vertices = 256)"), std::string::npos);
    EXPECT_NE(insertGeometryLayout("", 0).find("max_vertices = 1)"), std::string::npos);
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
