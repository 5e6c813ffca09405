// Source preparation for the geometry programs. Their sources are written for GLSL 1.20
// with EXT_geometry_shader4; drivers without that extension build the same programs as
// GLSL 1.50 (compatibility) geometry shaders, and these functions rewrite the sources
// for that. No GL here.
#pragma once

#include <string>

// Rewrites a geometry stage from the EXT dialect to "#version 150 compatibility":
// - the #version line becomes "#version 150 compatibility" (a source without one gets
//   it as its first line);
// - the line "layout(lines) in; layout(line_strip, max_vertices = N) out;" follows the
//   #version line, N being maxVertices but at least 1;
// - the "#extension GL_EXT_geometry_shader4" line is dropped, line end included;
// - "varying in" becomes "in" and "varying out" becomes "out";
// - per-vertex inputs such as "gl_PositionIn[expr]" become "gl_in[expr].gl_Position"
//   (likewise the other gl_...In arrays), and gl_VerticesIn becomes gl_in.length().
// Comments are copied untouched and everything else stays as it was. When the #extension
// line directly follows the #version line, the lines after it keep their numbers, so the
// driver's log points at the right lines of the file.
std::string translateGeometryStage(const std::string& source, int maxVertices);

// The largest vertex count a GLSL 1.50 geometry stage may declare: the driver's
// per-primitive vertex limit, lowered so that count times the components written per
// vertex stays within the driver's total output component limit. A limit of 0 or below
// is unknown and leaves the other one alone; the result is at least 1.
int geometryVertexLimit(int maxOutputVertices, int maxTotalComponents, int componentsPerVertex);
