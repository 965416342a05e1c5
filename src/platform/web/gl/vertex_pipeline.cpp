#include "platform/web/gl/vertex_pipeline.h"

#include <algorithm>
#include <cmath>

namespace webgl {

namespace {

// Without lighting, the colour that reaches the rasteriser is clamped to [0, 1].
Vector4 clampedColour(const Vector4& colour) {
    Vector4 result{};
    for (std::size_t i = 0; i < colour.size(); ++i) {
        result[i] = std::clamp(colour[i], 0.0f, 1.0f);
    }
    return result;
}

} // namespace

VertexTransform::VertexTransform(const Matrix4& modelview, const Matrix4& projection,
                                 bool sphereMapS, bool sphereMapT)
    : modelview(modelview), modelviewProjection(multiply(projection, modelview)),
      normals(normalMatrix(modelview)), sphereMapS(sphereMapS), sphereMapT(sphereMapT) {}

TransformedVertex VertexTransform::apply(const VertexAttributes& vertex) const {
    TransformedVertex result{transform(modelviewProjection, vertex.position),
                             clampedColour(vertex.colour), vertex.texCoord};
    if (sphereMapS || sphereMapT) {
        const std::array<float, 2> generated = sphereMapCoordinates(
            transform(modelview, vertex.position), transformNormal(normals, vertex.normal));
        if (sphereMapS) {
            result.texCoord[0] = generated[0];
        }
        if (sphereMapT) {
            result.texCoord[1] = generated[1];
        }
    }
    return result;
}

std::array<float, 2> sphereMapCoordinates(const Vector4& eyePosition, const Vector3& n) {
    Vector3 u{eyePosition[0], eyePosition[1], eyePosition[2]};
    const float length = std::sqrt(u[0] * u[0] + u[1] * u[1] + u[2] * u[2]);
    if (length != 0.0f) {
        u = {u[0] / length, u[1] / length, u[2] / length};
    }
    const float twiceDot = 2.0f * (n[0] * u[0] + n[1] * u[1] + n[2] * u[2]);
    const Vector3 r{u[0] - n[0] * twiceDot, u[1] - n[1] * twiceDot, u[2] - n[2] * twiceDot};
    const float m = 2.0f * std::sqrt(r[0] * r[0] + r[1] * r[1] + (r[2] + 1.0f) * (r[2] + 1.0f));
    if (m == 0.0f) {
        return {0.5f, 0.5f};
    }
    return {r[0] / m + 0.5f, r[1] / m + 0.5f};
}

} // namespace webgl
