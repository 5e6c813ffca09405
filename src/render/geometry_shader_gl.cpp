#include "render/geometry_shader.h"

#include "render/geometry_layout.h"
#include "render/gl.h"

namespace {

// A GL 3.2 geometry stage declares its vertex limit in the source, and that limit
// also has to fit the driver's total output component budget.
int coreGeometryVertexLimit() {
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
    return translateGeometryStage(source, coreGeometryVertexLimit());
}

void setGeometryProgramParameters(unsigned int program) {
    if (!geometryProgramsUseExt()) return;
    glProgramParameteriEXT(program, GL_GEOMETRY_INPUT_TYPE_EXT, GL_LINES);
    glProgramParameteriEXT(program, GL_GEOMETRY_OUTPUT_TYPE_EXT, GL_LINE_STRIP);
    // The driver's largest vertex count, unless our vertices times their components
    // would overrun its total output budget: then the link would fail and no line draw.
    GLint maxVertices = 0;
    glGetIntegerv(GL_MAX_GEOMETRY_OUTPUT_VERTICES_EXT, &maxVertices);
    GLint maxComponents = 0;
    glGetIntegerv(GL_MAX_GEOMETRY_TOTAL_OUTPUT_COMPONENTS_EXT, &maxComponents);
    glProgramParameteriEXT(program, GL_GEOMETRY_VERTICES_OUT_EXT,
                           geometryVertexLimit(maxVertices, maxComponents, kGeometryComponentsPerVertex));
}
