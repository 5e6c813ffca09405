// The driver side of the geometry programs: its vertex limit and the program parameters.
#include "render/geometry_shader.h"

#include "base/gl.h"
#include "render/geometry_layout.h"

namespace {

// The emitted-vertex limit of our programs: the driver's largest vertex count, kept
// within its total output component budget, which both the GL 3.2 stage and the EXT
// program parameters must fit (else the link fails and no line draws). The EXT
// enums are the same values as the core ones.
int driverGeometryVertexLimit() {
    GLint maxVertices = 0;
    glGetIntegerv(GL_MAX_GEOMETRY_OUTPUT_VERTICES, &maxVertices);
    GLint maxComponents = 0;
    glGetIntegerv(GL_MAX_GEOMETRY_TOTAL_OUTPUT_COMPONENTS, &maxComponents);
    return geometryVertexLimit(maxVertices, maxComponents, kGeometryComponentsPerVertex);
}

}  // namespace

bool geometryProgramsUseExt() { return GLEW_EXT_geometry_shader4 && glProgramParameteriEXT != nullptr; }

std::string prepareGeometrySource(const std::string& source) {
    if (geometryProgramsUseExt()) return source;
    return translateGeometryStage(source, driverGeometryVertexLimit());
}

void setGeometryProgramParameters(unsigned int program) {
    if (!geometryProgramsUseExt()) return;
    glProgramParameteriEXT(program, GL_GEOMETRY_INPUT_TYPE_EXT, GL_LINES);
    glProgramParameteriEXT(program, GL_GEOMETRY_OUTPUT_TYPE_EXT, GL_LINE_STRIP);
    glProgramParameteriEXT(program, GL_GEOMETRY_VERTICES_OUT_EXT, driverGeometryVertexLimit());
}
