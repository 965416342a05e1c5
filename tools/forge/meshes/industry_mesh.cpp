#include "forge/meshes/industry_mesh.h"

#include "forge/meshes/mesh_shapes.h"

#include <cmath>

namespace forge {

namespace {

constexpr float pi = 3.14159265358979f;

void addChimney(MeshBuilder& mesh, Vec3 base, float height, float radius) {
    std::vector<ProfilePoint> profile = {{0.0f, 0.0f},
                                         {radius * 1.3f, 0.0f},
                                         {radius * 1.3f, 0.0f},
                                         {radius * 1.3f, 1.5f},
                                         {radius * 1.3f, 1.5f},
                                         {radius, 2.0f},
                                         {radius * 0.75f, height},
                                         {radius * 0.75f, height},
                                         {radius * 0.95f, height},
                                         {radius * 0.95f, height},
                                         {radius * 0.95f, height + 1.2f},
                                         {radius * 0.95f, height + 1.2f},
                                         {radius * 0.6f, height + 1.2f},
                                         {radius * 0.6f, height + 1.2f},
                                         {radius * 0.6f, height - 2.0f}};
    mesh.addPart(lathe(profile, 40), Transform::translation(base));
    for (float band : {0.3f, 0.6f}) {
        float bandRadius = radius * (1.0f - 0.25f * band);
        mesh.addPart(torus(bandRadius, 0.25f, 40, 8),
                     Transform::translation(base + Vec3{0.0f, height * band, 0.0f}));
    }
}

void addCoolingTower(MeshBuilder& mesh, Vec3 base) {
    std::vector<ProfilePoint> profile = {{0.0f, 0.0f}, {8.0f, 0.0f}, {8.0f, 0.0f}};
    for (int i = 0; i <= 20; ++i) {
        float y = 18.0f * static_cast<float>(i) / 20.0f;
        float waist = (y - 13.0f) / 7.0f;
        profile.push_back({4.6f * std::sqrt(1.0f + waist * waist * 1.6f), y});
    }
    profile.push_back(profile.back());
    profile.push_back({profile.back().radius - 0.5f, 18.0f});
    profile.push_back(profile.back());
    profile.push_back({profile.back().radius, 14.0f});
    mesh.addPart(lathe(profile, 64), Transform::translation(base));
}

void addTank(MeshBuilder& mesh, Vec3 base, float radius, float height) {
    std::vector<ProfilePoint> profile = {{0.0f, 0.0f}, {radius, 0.0f}, {radius, 0.0f}};
    profile.push_back({radius, height});
    for (int i = 1; i <= 8; ++i) {
        float angle = pi / 2.0f * static_cast<float>(i) / 8.0f;
        profile.push_back({radius * std::cos(angle), height + radius * 0.5f * std::sin(angle)});
    }
    profile.back().radius = 0.0f;
    mesh.addPart(lathe(profile, 48), Transform::translation(base));
    mesh.addPart(torus(radius, 0.3f, 48, 8),
                 Transform::translation(base + Vec3{0.0f, height * 0.5f, 0.0f}));
}

void addHall(MeshBuilder& mesh, Vec3 centre, Vec3 halfSize, int roofTeeth) {
    mesh.addPart(box(halfSize), Transform::translation(centre));
    // A sawtooth roof: triangular prisms laid along z.
    float toothWidth = halfSize.x * 2.0f / roofTeeth;
    std::vector<ProfilePoint> tooth = {
        {0.0f, 0.0f}, {toothWidth, 0.0f}, {0.0f, -toothWidth * 0.8f}};
    for (int i = 0; i < roofTeeth; ++i) {
        Vec3 corner{centre.x - halfSize.x + toothWidth * i, centre.y + halfSize.y,
                    centre.z - halfSize.z};
        mesh.addPart(prism(tooth, halfSize.z * 2.0f),
                     Transform::translation(corner) * Transform::rotation({1, 0, 0}, pi / 2.0f));
    }
}

void addPipe(MeshBuilder& mesh, const std::vector<Vec3>& corners, float radius) {
    mesh.addPart(tube(roundedPath(corners, 2.0f, 8), radius, 16), Transform::identity());
}

void addGear(MeshBuilder& mesh, Vec3 centre, int teeth, float radius, float turn) {
    Transform standing = Transform::translation(centre) *
                         Transform::rotation({1, 0, 0}, pi / 2.0f) *
                         Transform::rotation({0, 1, 0}, turn);
    mesh.addPart(prism(gearOutline(teeth, radius * 0.85f, radius), 1.2f),
                 standing * Transform::translation({0.0f, -0.6f, 0.0f}));
    mesh.addPart(lathe({{0.0f, -1.2f},
                        {radius * 0.25f, -1.2f},
                        {radius * 0.25f, -1.2f},
                        {radius * 0.25f, 1.2f},
                        {radius * 0.25f, 1.2f},
                        {0.0f, 1.2f}},
                       24),
                 standing);
}

} // namespace

MeshBuilder buildIndustryMesh() {
    MeshBuilder mesh;
    mesh.addPart(box({30.0f, 0.8f, 22.0f}), Transform::translation({0.0f, -0.8f, 0.0f}));
    addHall(mesh, {-12.0f, 5.0f, -9.0f}, {11.0f, 5.0f, 7.0f}, 5);
    mesh.addPart(box({6.0f, 10.0f, 6.0f}), Transform::translation({15.0f, 10.0f, -13.0f}));
    mesh.addPart(box({6.5f, 0.6f, 6.5f}), Transform::translation({15.0f, 20.6f, -13.0f}));
    mesh.addPart(box({9.0f, 1.0f, 1.6f}), Transform::translation({0.0f, 9.0f, -12.0f}));
    addChimney(mesh, {-22.0f, 0.0f, 8.0f}, 26.0f, 2.4f);
    addChimney(mesh, {-14.0f, 0.0f, 13.0f}, 20.0f, 2.0f);
    addChimney(mesh, {-6.0f, 0.0f, 8.0f}, 30.0f, 2.6f);
    addCoolingTower(mesh, {19.0f, 0.0f, 9.0f});
    addTank(mesh, {4.0f, 0.0f, 14.0f}, 4.0f, 7.0f);
    addTank(mesh, {6.0f, 0.0f, 3.0f}, 3.2f, 9.0f);
    addPipe(mesh,
            {{4.0f, 9.0f, 14.0f},
             {4.0f, 12.0f, 14.0f},
             {-2.0f, 12.0f, 14.0f},
             {-2.0f, 12.0f, -2.0f},
             {-2.0f, 10.0f, -2.0f}},
            0.7f);
    addPipe(mesh,
            {{6.0f, 11.0f, 3.0f}, {6.0f, 14.0f, 3.0f}, {12.0f, 14.0f, 3.0f}, {12.0f, 14.0f, -7.0f}},
            0.6f);
    addPipe(mesh,
            {{-6.0f, 3.0f, 8.0f},
             {-6.0f, 3.0f, 3.0f},
             {1.0f, 3.0f, 3.0f},
             {1.0f, 3.0f, 14.0f},
             {0.0f, 3.0f, 14.0f}},
            0.8f);
    addPipe(
        mesh,
        {{-14.0f, 6.0f, 13.0f}, {-14.0f, 6.0f, 4.0f}, {-20.0f, 6.0f, 4.0f}, {-20.0f, 6.0f, -2.0f}},
        0.5f);
    addGear(mesh, {3.0f, 8.0f, -4.0f}, 18, 6.0f, 0.0f);
    addGear(mesh, {3.0f + 10.2f, 8.0f, -4.0f}, 12, 4.2f, pi / 12.0f);
    addGear(mesh, {3.0f, 8.0f + 9.4f, -4.0f}, 10, 3.6f, 0.1f);
    mesh.fitToRadius(modelRadius);
    return mesh;
}

} // namespace forge
