// How geometry stages are built on this driver: GL 3.2 geometry shaders with the
// primitive types and vertex limit declared in the source, plus the EXT program
// parameters where the driver still offers EXT_geometry_shader4.
#pragma once

#include <string>

// Components each geometry vertex of our programs writes (position and colour).
inline constexpr int kGeometryComponentsPerVertex = 8;

// The emitted-vertex limit to declare: the driver's maximum output vertices, kept within
// its total output component budget.
int queryGeometryVertexLimit();
// The geometry source ready for glShaderSource.
std::string prepareGeometrySource(const std::string& source, int maxVertices);
// Input lines, output line strips and the vertex limit as program parameters, when the
// driver has the EXT entry point; after the attachments and before the link.
void setGeometryProgramParameters(unsigned int program, int maxVertices);
