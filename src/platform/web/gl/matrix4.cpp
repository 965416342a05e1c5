#include "platform/web/gl/matrix4.h"

#include <cmath>

namespace webgl {

namespace {

constexpr double degreesToRadians = 3.14159265358979323846 / 180.0;

Vector3 normalized(const Vector3& v) {
    const float length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (length == 0.0f) {
        return v;
    }
    return {v[0] / length, v[1] / length, v[2] / length};
}

Vector3 cross(const Vector3& a, const Vector3& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

} // namespace

Matrix4 identityMatrix() {
    return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}

Matrix4 multiply(const Matrix4& a, const Matrix4& b) {
    Matrix4 product{};
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) {
                sum += a[k * 4 + row] * b[column * 4 + k];
            }
            product[column * 4 + row] = sum;
        }
    }
    return product;
}

Vector4 transform(const Matrix4& m, const Vector4& v) {
    Vector4 result{};
    for (int row = 0; row < 4; ++row) {
        result[row] = m[row] * v[0] + m[4 + row] * v[1] + m[8 + row] * v[2] + m[12 + row] * v[3];
    }
    return result;
}

Matrix4 translationMatrix(float x, float y, float z) {
    Matrix4 m = identityMatrix();
    m[12] = x;
    m[13] = y;
    m[14] = z;
    return m;
}

Matrix4 scaleMatrix(float x, float y, float z) {
    Matrix4 m = identityMatrix();
    m[0] = x;
    m[5] = y;
    m[10] = z;
    return m;
}

Matrix4 rotationMatrix(float degrees, float x, float y, float z) {
    if (x == 0.0f && y == 0.0f && z == 0.0f) {
        return identityMatrix();
    }
    const Vector3 u = normalized({x, y, z});
    const auto radians = static_cast<double>(degrees) * degreesToRadians;
    const auto c = static_cast<float>(std::cos(radians));
    const auto s = static_cast<float>(std::sin(radians));
    const float t = 1.0f - c;
    Matrix4 m = identityMatrix();
    m[0] = u[0] * u[0] * t + c;
    m[1] = u[1] * u[0] * t + u[2] * s;
    m[2] = u[2] * u[0] * t - u[1] * s;
    m[4] = u[0] * u[1] * t - u[2] * s;
    m[5] = u[1] * u[1] * t + c;
    m[6] = u[2] * u[1] * t + u[0] * s;
    m[8] = u[0] * u[2] * t + u[1] * s;
    m[9] = u[1] * u[2] * t - u[0] * s;
    m[10] = u[2] * u[2] * t + c;
    return m;
}

Matrix4 perspectiveMatrix(double fovyDegrees, double aspect, double zNear, double zFar) {
    const double halfAngle = fovyDegrees / 2.0 * degreesToRadians;
    const double cotangent = std::cos(halfAngle) / std::sin(halfAngle);
    const double depth = zFar - zNear;
    Matrix4 m{};
    m[0] = static_cast<float>(cotangent / aspect);
    m[5] = static_cast<float>(cotangent);
    m[10] = static_cast<float>(-(zFar + zNear) / depth);
    m[11] = -1.0f;
    m[14] = static_cast<float>(-2.0 * zNear * zFar / depth);
    return m;
}

Matrix4 lookAtMatrix(const Vector3& eye, const Vector3& centre, const Vector3& up) {
    const Vector3 forward =
        normalized({centre[0] - eye[0], centre[1] - eye[1], centre[2] - eye[2]});
    const Vector3 side = normalized(cross(forward, up));
    const Vector3 trueUp = cross(side, forward);
    Matrix4 m = identityMatrix();
    for (int i = 0; i < 3; ++i) {
        m[i * 4] = side[i];
        m[i * 4 + 1] = trueUp[i];
        m[i * 4 + 2] = -forward[i];
    }
    return multiply(m, translationMatrix(-eye[0], -eye[1], -eye[2]));
}

std::array<float, 9> normalMatrix(const Matrix4& m) {
    // Cofactors of the upper-left 3x3 (a[column][row] = m[column * 4 + row]) are the
    // inverse transpose times the determinant.
    auto a = [&m](int column, int row) { return m[column * 4 + row]; };
    std::array<float, 9> cofactors{};
    for (int column = 0; column < 3; ++column) {
        for (int row = 0; row < 3; ++row) {
            const int c0 = (column + 1) % 3;
            const int c1 = (column + 2) % 3;
            const int r0 = (row + 1) % 3;
            const int r1 = (row + 2) % 3;
            cofactors[column * 3 + row] = a(c0, r0) * a(c1, r1) - a(c1, r0) * a(c0, r1);
        }
    }
    const float determinant =
        a(0, 0) * cofactors[0] + a(0, 1) * cofactors[1] + a(0, 2) * cofactors[2];
    std::array<float, 9> result{};
    if (determinant == 0.0f) {
        return result;
    }
    for (std::size_t i = 0; i < result.size(); ++i) {
        result[i] = cofactors[i] / determinant;
    }
    return result;
}

Vector3 transformNormal(const std::array<float, 9>& n, const Vector3& v) {
    return {n[0] * v[0] + n[3] * v[1] + n[6] * v[2], n[1] * v[0] + n[4] * v[1] + n[7] * v[2],
            n[2] * v[0] + n[5] * v[1] + n[8] * v[2]};
}

} // namespace webgl
