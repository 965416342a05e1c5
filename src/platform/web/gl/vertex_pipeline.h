#pragma once

#include "platform/web/gl/matrix4.h"

#include <array>

namespace webgl {

// What a vertex carries into the pipeline: the current values when it was given.
struct VertexAttributes {
    Vector4 position{0.0f, 0.0f, 0.0f, 1.0f};
    Vector3 normal{0.0f, 0.0f, 1.0f};
    Vector4 colour{1.0f, 1.0f, 1.0f, 1.0f};
    std::array<float, 2> texCoord{0.0f, 0.0f};
};

// What WebGL receives: clip coordinates, the colour as rasterised and final texture
// coordinates, so its shader has nothing left of the fixed-function vertex stage to do.
struct TransformedVertex {
    Vector4 clip;
    Vector4 colour;
    std::array<float, 2> texCoord;
};

// The per-draw part of the vertex stage, prepared once for all vertices of a draw.
class VertexTransform {
public:
    VertexTransform(const Matrix4& modelview, const Matrix4& projection, bool sphereMapS,
                    bool sphereMapT);
    TransformedVertex apply(const VertexAttributes& vertex) const;

private:
    Matrix4 modelview;
    Matrix4 modelviewProjection;
    std::array<float, 9> normals;
    bool sphereMapS;
    bool sphereMapT;
};

// Sphere-map coordinates from an eye-space position and normal, as OpenGL 1.1 defines them.
// The normal is used as transformed, without normalising, as with GL_NORMALIZE disabled.
std::array<float, 2> sphereMapCoordinates(const Vector4& eyePosition, const Vector3& eyeNormal);

} // namespace webgl
