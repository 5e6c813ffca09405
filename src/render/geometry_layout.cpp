#include "render/geometry_layout.h"

#include <algorithm>

std::string insertGeometryLayout(const std::string& source, int maxVertices) {
    const std::string layout = "layout(lines) in;\nlayout(line_strip, max_vertices = " +
                               std::to_string(std::max(maxVertices, 1)) + ") out;\n";
    // #version must stay the first thing in the source, so the layout goes after it.
    std::size_t lineStart = 0;
    while (lineStart < source.size()) {
        const std::size_t first = source.find_first_not_of(" \t", lineStart);
        const std::size_t lineEnd = source.find('\n', lineStart);
        if (first != std::string::npos && source.compare(first, 8, "#version") == 0 &&
            (lineEnd == std::string::npos || first < lineEnd)) {
            if (lineEnd == std::string::npos) return source + "\n" + layout;
            return source.substr(0, lineEnd + 1) + layout + source.substr(lineEnd + 1);
        }
        if (lineEnd == std::string::npos) break;
        lineStart = lineEnd + 1;
    }
    return layout + source;
}

int geometryVertexLimit(int maxOutputVertices, int maxTotalComponents, int componentsPerVertex) {
    int limit = maxOutputVertices > 0 ? maxOutputVertices : 1;
    if (maxTotalComponents > 0 && componentsPerVertex > 0) {
        limit = std::min(limit, maxTotalComponents / componentsPerVertex);
    }
    return std::max(limit, 1);
}
