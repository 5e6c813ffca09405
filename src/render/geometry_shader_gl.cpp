#include "render/geometry_shader.h"

#include "render/geometry_layout.h"
#include "render/gl.h"

int queryGeometryVertexLimit() {
    GLint maxVertices = 0;
    glGetIntegerv(GL_MAX_GEOMETRY_OUTPUT_VERTICES, &maxVertices);
    GLint maxComponents = 0;
    glGetIntegerv(GL_MAX_GEOMETRY_TOTAL_OUTPUT_COMPONENTS, &maxComponents);
    return geometryVertexLimit(maxVertices, maxComponents, kGeometryComponentsPerVertex);
}

std::string prepareGeometrySource(const std::string& source, int maxVertices) {
    return insertGeometryLayout(source, maxVertices);
}

void setGeometryProgramParameters(unsigned int program, int maxVertices) {
    // Core geometry shaders take these from the layout qualifiers; EXT drivers also
    // accept them as program parameters.
    if (!GLEW_EXT_geometry_shader4 || glProgramParameteriEXT == nullptr) return;
    glProgramParameteriEXT(program, GL_GEOMETRY_INPUT_TYPE_EXT, GL_LINES);
    glProgramParameteriEXT(program, GL_GEOMETRY_OUTPUT_TYPE_EXT, GL_LINE_STRIP);
    glProgramParameteriEXT(program, GL_GEOMETRY_VERTICES_OUT_EXT, maxVertices);
}
