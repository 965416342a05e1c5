#include "platform/web/gl/primitive_assembly.h"

namespace webgl {

namespace {

using Corners = std::vector<std::size_t>;

void addTriangle(Corners& corners, std::size_t a, std::size_t b, std::size_t c) {
    corners.insert(corners.end(), {a, b, c});
}

Corners separateTriangles(std::size_t count) {
    Corners corners;
    for (std::size_t i = 0; i + 3 <= count; i += 3) {
        addTriangle(corners, i, i + 1, i + 2);
    }
    return corners;
}

// Every other triangle swaps its first two corners, so all face the same way.
Corners triangleStrip(std::size_t count) {
    Corners corners;
    for (std::size_t i = 2; i < count; ++i) {
        if (i % 2 == 0) {
            addTriangle(corners, i - 2, i - 1, i);
        } else {
            addTriangle(corners, i - 1, i - 2, i);
        }
    }
    return corners;
}

Corners triangleFan(std::size_t count) {
    Corners corners;
    for (std::size_t i = 2; i < count; ++i) {
        addTriangle(corners, 0, i - 1, i);
    }
    return corners;
}

// Split along the diagonal from the second corner to the fourth, as Mesa splits quads: a quad
// with different colours at its corners then shades as it does natively.
Corners separateQuads(std::size_t count) {
    Corners corners;
    for (std::size_t i = 0; i + 4 <= count; i += 4) {
        addTriangle(corners, i, i + 1, i + 3);
        addTriangle(corners, i + 1, i + 2, i + 3);
    }
    return corners;
}

// Quad k of a strip runs 2k, 2k+1, 2k+3, 2k+2 around its edge; Mesa splits it along the
// other diagonal, from 2k to 2k+3, and so does this.
Corners quadStrip(std::size_t count) {
    Corners corners;
    for (std::size_t i = 0; i + 4 <= count; i += 2) {
        addTriangle(corners, i + 2, i, i + 3);
        addTriangle(corners, i, i + 1, i + 3);
    }
    return corners;
}

} // namespace

std::optional<Corners> triangleCorners(GLenum mode, std::size_t vertexCount) {
    switch (mode) {
    case GL_TRIANGLES:
        return separateTriangles(vertexCount);
    case GL_TRIANGLE_STRIP:
        return triangleStrip(vertexCount);
    case GL_TRIANGLE_FAN:
    case GL_POLYGON:
        return triangleFan(vertexCount);
    case GL_QUADS:
        return separateQuads(vertexCount);
    case GL_QUAD_STRIP:
        return quadStrip(vertexCount);
    default:
        return std::nullopt;
    }
}

} // namespace webgl
