#include "forge/meshes/reactor_mesh.h"

#include "forge/meshes/mesh_shapes.h"

#include <cmath>

namespace forge {

namespace {

constexpr float pi = 3.14159265358979f;
constexpr float chamberRadius = 18.0f;
constexpr float chamberTube = 6.0f;
constexpr float chamberHeight = 15.0f;

void addPlatform(MeshBuilder& mesh) {
    std::vector<ProfilePoint> steps = {{0.0f, 0.0f},  {30.0f, 0.0f}, {30.0f, 0.0f}, {30.0f, 1.5f},
                                       {30.0f, 1.5f}, {27.0f, 1.5f}, {27.0f, 1.5f}, {27.0f, 3.0f},
                                       {27.0f, 3.0f}, {0.0f, 3.0f}};
    mesh.addPart(lathe(steps, 72), Transform::identity());
}

// The coils stand around the chamber's tube, each in the plane through the central axis.
void addCoils(MeshBuilder& mesh) {
    constexpr int coils = 12;
    for (int i = 0; i < coils; ++i) {
        float angle = 2.0f * pi * (static_cast<float>(i) + 0.5f) / coils;
        Vec3 centre{chamberRadius * std::cos(angle), chamberHeight,
                    chamberRadius * std::sin(angle)};
        Vec3 tangent{-std::sin(angle), 0.0f, std::cos(angle)};
        Vec3 outward{std::cos(angle), 0.0f, std::sin(angle)};
        // The torus's own axis (y) must run along the chamber's tangent.
        Transform frame = Transform::basis(outward, tangent, cross(outward, tangent), centre);
        mesh.addPart(torus(chamberTube + 1.9f, 1.1f, 36, 10), frame);
        mesh.addPart(torus(chamberTube + 3.2f, 0.45f, 36, 6), frame);
    }
}

void addColumn(MeshBuilder& mesh) {
    std::vector<ProfilePoint> column = {{0.0f, 3.0f}, {5.0f, 3.0f}, {5.0f, 3.0f}, {4.0f, 5.0f}};
    for (int ring = 0; ring < 6; ++ring) {
        float y = 8.0f + ring * 5.0f;
        column.push_back({4.0f, y - 1.0f});
        column.push_back({4.8f, y - 0.4f});
        column.push_back({4.8f, y + 0.4f});
        column.push_back({4.0f, y + 1.0f});
    }
    column.push_back({3.6f, 38.0f});
    for (int i = 1; i <= 8; ++i) {
        float a = pi / 2.0f * static_cast<float>(i) / 8.0f;
        column.push_back({3.6f * std::cos(a), 38.0f + 3.6f * std::sin(a)});
    }
    column.back().radius = 0.0f;
    mesh.addPart(lathe(column, 48), Transform::identity());
    mesh.addPart(torus(5.5f, 0.8f, 48, 12), Transform::translation({0.0f, 36.0f, 0.0f}));
}

void addSpiralPipe(MeshBuilder& mesh) {
    std::vector<Vec3> helix;
    constexpr int points = 140;
    for (int i = 0; i < points; ++i) {
        float k = static_cast<float>(i) / (points - 1);
        float angle = k * 2.0f * pi * 3.0f;
        helix.push_back({6.6f * std::cos(angle), 5.0f + k * 29.0f, 6.6f * std::sin(angle)});
    }
    mesh.addPart(tube(helix, 0.55f, 12), Transform::identity());
}

void addSpokesAndLegs(MeshBuilder& mesh) {
    for (int i = 0; i < 4; ++i) {
        float angle = pi / 2.0f * static_cast<float>(i);
        Vec3 outward{std::cos(angle), 0.0f, std::sin(angle)};
        Vec3 start = outward * 4.5f + Vec3{0.0f, chamberHeight, 0.0f};
        Vec3 end = outward * (chamberRadius - chamberTube + 0.5f) + Vec3{0.0f, chamberHeight, 0.0f};
        mesh.addPart(tube({start, end}, 1.0f, 16), Transform::identity());
    }
    for (int i = 0; i < 8; ++i) {
        float angle = pi / 4.0f * (static_cast<float>(i) + 0.5f);
        Vec3 at{chamberRadius * std::cos(angle), 0.0f, chamberRadius * std::sin(angle)};
        float legHeight = chamberHeight - chamberTube + 1.0f - 3.0f;
        mesh.addPart(box({1.0f, legHeight * 0.5f, 1.0f}),
                     Transform::translation(at + Vec3{0.0f, 3.0f + legHeight * 0.5f, 0.0f}) *
                         Transform::rotation({0, 1, 0}, -angle));
    }
}

} // namespace

MeshBuilder buildReactorMesh() {
    MeshBuilder mesh;
    addPlatform(mesh);
    mesh.addPart(torus(chamberRadius, chamberTube, 72, 28),
                 Transform::translation({0.0f, chamberHeight, 0.0f}));
    addCoils(mesh);
    addColumn(mesh);
    addSpiralPipe(mesh);
    addSpokesAndLegs(mesh);
    mesh.fitToRadius(modelRadius);
    return mesh;
}

} // namespace forge
