#pragma once

#include "forge/meshes/mesh_builder.h"

#include <vector>

namespace forge {

// A point of a lathe profile: distance from the y axis, and height.
struct ProfilePoint {
    float radius = 0.0f;
    float height = 0.0f;
};

// Turns a profile about the y axis. Normals are smooth along the profile; repeating a point
// makes a crease there. A closed profile joins its last point to its first.
MeshPart lathe(const std::vector<ProfilePoint>& profile, int segments, bool closed = false);

// A ring of tube radius minor around a circle of radius major in the xz plane.
MeshPart torus(float major, float minor, int majorSegments, int minorSegments);

MeshPart sphere(float radius, int segments);

// A tube of the given radius along a path, its rings kept untwisted; both ends capped.
MeshPart tube(const std::vector<Vec3>& path, float radius, int sides);

// A path through corners whose turns are rounded into arcs of the given radius.
std::vector<Vec3> roundedPath(const std::vector<Vec3>& corners, float bendRadius, int stepsPerBend);

// An axis-aligned box centred on the origin, with flat faces.
MeshPart box(Vec3 halfSize);

// A prism: the outline (x, z), counter-clockwise seen from +y and star-shaped about the origin,
// extruded from height 0 to height; flat sides and caps.
MeshPart prism(const std::vector<ProfilePoint>& outline, float height);

// The outline of a spur gear for prism: radius as x and the angle's z via ProfilePoint fields.
std::vector<ProfilePoint> gearOutline(int teeth, float rootRadius, float tipRadius);

} // namespace forge
