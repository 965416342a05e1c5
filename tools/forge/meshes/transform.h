#pragma once

#include "forge/meshes/vec3.h"

namespace forge {

// An affine transform: a 3x3 linear part, then a translation.
class Transform {
public:
    static Transform identity();
    static Transform translation(Vec3 offset);
    static Transform scaling(Vec3 factors);
    // Right-handed rotation by angle radians about a unit axis.
    static Transform rotation(Vec3 axis, float angle);
    // Maps the x, y and z axes onto the given vectors, and the origin onto origin.
    static Transform basis(Vec3 xAxis, Vec3 yAxis, Vec3 zAxis, Vec3 origin);

    // this after other: (a * b) applies b first.
    Transform operator*(const Transform& other) const;

    Vec3 point(Vec3 p) const;
    // Normals go through the inverse transpose, so they stay perpendicular under uneven scaling.
    Vec3 normal(Vec3 n) const;

private:
    float m[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    Vec3 offset;
};

} // namespace forge
