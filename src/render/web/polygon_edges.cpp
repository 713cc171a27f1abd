#include "render/web/polygon_edges.h"

namespace {
constexpr unsigned int trianglesMode = 4;
constexpr unsigned int triangleStripMode = 5;

void addTriangle(std::vector<unsigned int>& lines, unsigned int a, unsigned int b, unsigned int c) {
    lines.insert(lines.end(), {a, b, b, c, c, a});
}
} // namespace

std::vector<unsigned int> triangleEdgeLines(unsigned int mode,
                                            const std::vector<unsigned int>& vertices) {
    std::vector<unsigned int> lines;
    const std::size_t n = vertices.size();
    if (mode == trianglesMode) {
        for (std::size_t i = 0; i + 2 < n; i += 3) {
            addTriangle(lines, vertices[i], vertices[i + 1], vertices[i + 2]);
        }
    } else if (mode == triangleStripMode) {
        for (std::size_t i = 0; i + 2 < n; ++i) {
            addTriangle(lines, vertices[i], vertices[i + 1], vertices[i + 2]);
        }
    }
    return lines;
}
