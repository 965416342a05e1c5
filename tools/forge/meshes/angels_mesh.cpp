#include "forge/meshes/angels_mesh.h"

#include "forge/meshes/mesh_shapes.h"

#include <cmath>

namespace forge {

namespace {

constexpr float pi = 3.14159265358979f;

// A feather: an ellipsoid from root along direction, flattened across the wing's plane.
void addFeather(MeshBuilder& mesh, const Transform& figure, Vec3 root, Vec3 direction,
                Vec3 planeNormal, float featherLength, float width) {
    Vec3 along = normalise(direction);
    Vec3 across = normalise(cross(planeNormal, along));
    Vec3 thickness = cross(across, along);
    Transform frame =
        Transform::basis(across, along, thickness, root + along * (featherLength * 0.5f));
    mesh.addPart(sphere(1.0f, 16),
                 figure * frame * Transform::scaling({width, featherLength * 0.5f, 0.22f}));
}

// Two layers of feathers fanning from the shoulder blade; side is +1 (left) or -1 (right).
void addWing(MeshBuilder& mesh, const Transform& figure, float side) {
    Vec3 root{side * 1.2f, 17.0f, -1.6f};
    Vec3 planeNormal = normalise(Vec3{0.0f, 0.0f, 1.0f} + Vec3{side * 0.25f, 0.0f, 0.0f});
    constexpr int feathers = 9;
    for (int layer = 0; layer < 2; ++layer) {
        float scale = layer == 0 ? 1.0f : 0.6f;
        for (int i = 0; i < feathers; ++i) {
            float k = static_cast<float>(i) / (feathers - 1);
            // From drooping outward to pointing up and back.
            float angle = -0.5f + k * 2.0f;
            Vec3 direction{side * std::cos(angle), std::sin(angle), -0.45f};
            float featherLength = (8.0f + 9.0f * std::sin(k * pi * 0.85f)) * scale;
            Vec3 offset = Vec3{0.0f, 0.0f, layer == 0 ? -0.3f : 0.3f};
            addFeather(mesh, figure, root + offset, direction, planeNormal, featherLength,
                       layer == 0 ? 1.1f : 0.9f);
        }
    }
}

void addArm(MeshBuilder& mesh, const Transform& figure, float side) {
    std::vector<Vec3> corners = {{side * 2.4f, 17.2f, 0.0f},
                                 {side * 3.4f, 15.2f, 1.2f},
                                 {side * 3.0f, 15.8f, 4.0f},
                                 {side * 2.2f, 17.6f, 6.2f}};
    MeshPart sleeve = tube(roundedPath(corners, 1.2f, 6), 0.75f, 14);
    mesh.addPart(sleeve, figure);
    mesh.addPart(sphere(0.55f, 14),
                 figure * Transform::translation(corners.back() + Vec3{0.0f, 0.3f, 0.6f}));
}

void addFigure(MeshBuilder& mesh, const Transform& figure) {
    std::vector<ProfilePoint> robe = {{0.0f, 0.0f},   {3.8f, 0.0f},  {3.8f, 0.0f},  {3.7f, 0.5f},
                                      {3.2f, 3.0f},   {2.6f, 7.0f},  {2.1f, 11.0f}, {1.8f, 13.5f},
                                      {2.2f, 15.5f},  {2.6f, 16.8f}, {2.2f, 18.0f}, {1.2f, 18.6f},
                                      {0.75f, 19.0f}, {0.7f, 19.6f}, {0.0f, 19.7f}};
    mesh.addPart(lathe(robe, 48), figure);
    // A belt, the head and a tilted halo.
    mesh.addPart(torus(1.85f, 0.25f, 40, 8), figure * Transform::translation({0.0f, 13.5f, 0.0f}));
    mesh.addPart(sphere(1.6f, 28), figure * Transform::translation({0.0f, 21.0f, 0.1f}) *
                                       Transform::scaling({1.0f, 1.15f, 1.0f}));
    mesh.addPart(torus(1.9f, 0.16f, 40, 8), figure * Transform::translation({0.0f, 23.6f, -0.6f}) *
                                                Transform::rotation({1, 0, 0}, -0.35f));
    addArm(mesh, figure, 1.0f);
    addArm(mesh, figure, -1.0f);
    addWing(mesh, figure, 1.0f);
    addWing(mesh, figure, -1.0f);
}

} // namespace

MeshBuilder buildAngelsMesh() {
    MeshBuilder mesh;
    // Turned towards each other, as if about to touch hands.
    addFigure(mesh,
              Transform::translation({-6.5f, 0.0f, 0.0f}) * Transform::rotation({0, 1, 0}, 0.95f));
    addFigure(mesh,
              Transform::translation({6.5f, 0.0f, 0.0f}) * Transform::rotation({0, 1, 0}, -0.95f));
    mesh.fitToRadius(modelRadius);
    return mesh;
}

} // namespace forge
