#include "forge/meshes/transform.h"

namespace forge {

Transform Transform::identity() {
    return {};
}

Transform Transform::translation(Vec3 offset) {
    Transform t;
    t.offset = offset;
    return t;
}

Transform Transform::scaling(Vec3 factors) {
    Transform t;
    t.m[0][0] = factors.x;
    t.m[1][1] = factors.y;
    t.m[2][2] = factors.z;
    return t;
}

Transform Transform::rotation(Vec3 axis, float angle) {
    Vec3 a = normalise(axis);
    float c = std::cos(angle);
    float s = std::sin(angle);
    float k = 1.0f - c;
    Transform t;
    t.m[0][0] = c + a.x * a.x * k;
    t.m[0][1] = a.x * a.y * k - a.z * s;
    t.m[0][2] = a.x * a.z * k + a.y * s;
    t.m[1][0] = a.y * a.x * k + a.z * s;
    t.m[1][1] = c + a.y * a.y * k;
    t.m[1][2] = a.y * a.z * k - a.x * s;
    t.m[2][0] = a.z * a.x * k - a.y * s;
    t.m[2][1] = a.z * a.y * k + a.x * s;
    t.m[2][2] = c + a.z * a.z * k;
    return t;
}

Transform Transform::basis(Vec3 xAxis, Vec3 yAxis, Vec3 zAxis, Vec3 origin) {
    Transform t;
    const Vec3 columns[3] = {xAxis, yAxis, zAxis};
    for (int column = 0; column < 3; ++column) {
        t.m[0][column] = columns[column].x;
        t.m[1][column] = columns[column].y;
        t.m[2][column] = columns[column].z;
    }
    t.offset = origin;
    return t;
}

Transform Transform::operator*(const Transform& other) const {
    Transform result;
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            result.m[row][column] = m[row][0] * other.m[0][column] +
                                    m[row][1] * other.m[1][column] + m[row][2] * other.m[2][column];
        }
    }
    result.offset = point(other.offset);
    return result;
}

Vec3 Transform::point(Vec3 p) const {
    return {m[0][0] * p.x + m[0][1] * p.y + m[0][2] * p.z + offset.x,
            m[1][0] * p.x + m[1][1] * p.y + m[1][2] * p.z + offset.y,
            m[2][0] * p.x + m[2][1] * p.y + m[2][2] * p.z + offset.z};
}

Vec3 Transform::normal(Vec3 n) const {
    // The cofactor matrix is the inverse transpose times the determinant; a negative
    // determinant (a mirror) would flip the normal, hence the sign.
    float c[3][3];
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            int r1 = (row + 1) % 3;
            int r2 = (row + 2) % 3;
            int c1 = (column + 1) % 3;
            int c2 = (column + 2) % 3;
            c[row][column] = m[r1][c1] * m[r2][c2] - m[r1][c2] * m[r2][c1];
        }
    }
    float determinant = m[0][0] * c[0][0] + m[0][1] * c[0][1] + m[0][2] * c[0][2];
    float sign = determinant < 0.0f ? -1.0f : 1.0f;
    Vec3 result{c[0][0] * n.x + c[0][1] * n.y + c[0][2] * n.z,
                c[1][0] * n.x + c[1][1] * n.y + c[1][2] * n.z,
                c[2][0] * n.x + c[2][1] * n.y + c[2][2] * n.z};
    return normalise(result * sign);
}

} // namespace forge
