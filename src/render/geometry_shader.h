// How the two geometry programs are built on this driver. Their sources are GLSL 1.20
// with EXT_geometry_shader4: where the driver has that extension they go to it as they
// are, with the primitive types and the vertex limit set as program parameters. Other
// drivers (Mesa offers GL 3.2 and later but never that extension) build the same
// programs as GL 3.2 geometry shaders: the geometry source is rewritten to GLSL 1.50 with
// the primitive types and the vertex limit declared in it. The 1.20 vertex and fragment
// stages link with it as they are.
#pragma once

#include <string>

// Components each geometry vertex of our programs writes (position and colour).
inline constexpr int kGeometryComponentsPerVertex = 8;

// True when the driver builds the geometry programs through EXT_geometry_shader4.
bool geometryProgramsUseExt();
// The geometry stage source ready for glShaderSource.
std::string prepareGeometrySource(const std::string& source);
// Sets input lines, output line strips and the emitted-vertex limit (the driver's
// GL_MAX_GEOMETRY_OUTPUT_VERTICES_EXT, within its total output component budget) as
// program parameters on the EXT path; call it
// after the attachments and before the link. Nothing to do on the GL 3.2 path.
void setGeometryProgramParameters(unsigned int program);
