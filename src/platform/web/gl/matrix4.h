#pragma once

#include <array>

namespace webgl {

// Column-major, as OpenGL stores it, and in float, as the fixed-function pipeline computes.
using Matrix4 = std::array<float, 16>;
using Vector4 = std::array<float, 4>;
using Vector3 = std::array<float, 3>;

Matrix4 identityMatrix();
// a * b: b is applied first, as glMultMatrix does with the current matrix as a.
Matrix4 multiply(const Matrix4& a, const Matrix4& b);
Vector4 transform(const Matrix4& m, const Vector4& v);

Matrix4 translationMatrix(float x, float y, float z);
Matrix4 scaleMatrix(float x, float y, float z);
// An angle in degrees about any axis; a zero axis leaves everything where it was.
Matrix4 rotationMatrix(float degrees, float x, float y, float z);
// Computed in double and then stored, as the GLU functions load them.
Matrix4 perspectiveMatrix(double fovyDegrees, double aspect, double zNear, double zFar);
Matrix4 lookAtMatrix(const Vector3& eye, const Vector3& centre, const Vector3& up);

// The transpose of the inverse of the upper-left 3x3: what carries normals to eye space. A
// singular matrix gives zeros.
std::array<float, 9> normalMatrix(const Matrix4& modelview);
Vector3 transformNormal(const std::array<float, 9>& normalMatrix, const Vector3& n);

} // namespace webgl
