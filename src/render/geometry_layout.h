// Source preparation for geometry shaders built as GL 3.2 stages: the primitive types
// and the vertex limit go into the source as layout qualifiers.
#pragma once

#include <string>

// Inserts "layout(lines) in;" and "layout(line_strip, max_vertices = N) out;" directly
// after the source's #version line (at the very start when there is none). The line
// numbers of the rest of the source shift by two.
std::string insertGeometryLayout(const std::string& source, int maxVertices);

// The largest vertex count a geometry stage may declare: the driver's per-primitive
// vertex limit, lowered so that count times the components written per vertex stays
// within the driver's total output component limit. A limit of 0 or below is unknown
// and leaves the other one alone; the result is at least 1.
int geometryVertexLimit(int maxOutputVertices, int maxTotalComponents, int componentsPerVertex);
