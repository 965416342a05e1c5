#pragma once

#include <GL/gl.h>
#include <cstddef>
#include <optional>
#include <vector>

namespace webgl {

// The corners, as indices into the vertices given between glBegin and glEnd, of the triangles
// that WebGL draws for a primitive it may not have (quads, quad strips, polygons). Triangles
// of strips keep one facing, as OpenGL orders them. An incomplete last primitive is dropped.
// Nothing for a mode that is not made of triangles.
std::optional<std::vector<std::size_t>> triangleCorners(GLenum mode, std::size_t vertexCount);

} // namespace webgl
