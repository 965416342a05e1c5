#include "forge/meshes/angels_mesh.h"
#include "forge/meshes/industry_mesh.h"
#include "forge/meshes/mesh_builder.h"
#include "forge/meshes/mesh_shapes.h"
#include "forge/meshes/reactor_mesh.h"
#include "resources/data_manifest.h"
#include "resources/memory_stream.h"
#include "resources/mesh_model.h"

#include <cmath>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace {

// A data/ name of the manifest, read from the build's data set.
std::vector<std::uint8_t> fileBytes(const char* dataFile) {
    std::ifstream file(std::string(LUMIVAHA_DATA_DIR) + "/" +
                           std::string(nameInDataFolder(dataFile)),
                       std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

class ForgedMesh : public testing::TestWithParam<const char*> {};

TEST_P(ForgedMesh, LoadsWithTheValidatingLoaderAndFitsTheShowcase) {
    std::vector<std::uint8_t> bytes = fileBytes(GetParam());
    ASSERT_FALSE(bytes.empty()) << GetParam();
    MemoryStream stream(bytes, GetParam());
    MeshModel model;
    std::string fault;
    ASSERT_TRUE(model.tryLoad(stream, fault)) << fault;
    ASSERT_GT(model.subMeshCount, 0);

    int triangles = 0;
    float farthest = 0.0f;
    float low[3] = {1e9f, 1e9f, 1e9f};
    float high[3] = {-1e9f, -1e9f, -1e9f};
    for (int i = 0; i < model.subMeshCount; ++i) {
        const SubMesh& subMesh = model.subMeshes[static_cast<std::size_t>(i)];
        ASSERT_EQ(subMesh.attributeCount, 3);
        EXPECT_EQ(subMesh.attributeSizes[0], 3);
        EXPECT_EQ(subMesh.attributeSizes[1], 3);
        EXPECT_EQ(subMesh.attributeSizes[2], 2);
        EXPECT_LE(subMesh.vertexCount, 32767);
        triangles += subMesh.triangleCount;
        for (int v = 0; v < subMesh.vertexCount; ++v) {
            const float* vertex = &subMesh.vertices[static_cast<std::size_t>(v * 8)];
            float normalLength =
                std::sqrt(vertex[3] * vertex[3] + vertex[4] * vertex[4] + vertex[5] * vertex[5]);
            ASSERT_NEAR(normalLength, 1.0f, 1e-3f) << GetParam() << " vertex " << v;
            farthest = std::max(farthest, std::sqrt(vertex[0] * vertex[0] + vertex[1] * vertex[1] +
                                                    vertex[2] * vertex[2]));
            for (int axis = 0; axis < 3; ++axis) {
                low[axis] = std::min(low[axis], vertex[axis]);
                high[axis] = std::max(high[axis], vertex[axis]);
            }
        }
    }
    EXPECT_GE(triangles, 5000);
    EXPECT_LE(triangles, 30000);
    // Radius about 40: the camera circles at 75 to 80 units with a 90-degree view.
    EXPECT_LE(farthest, 40.01f);
    EXPECT_GE(farthest, 38.0f);
    for (int axis = 0; axis < 3; ++axis) {
        EXPECT_NEAR((low[axis] + high[axis]) * 0.5f, 0.0f, 0.01f) << "axis " << axis;
    }
}

INSTANTIATE_TEST_SUITE_P(AllModels, ForgedMesh, testing::ValuesIn(meshFiles));

// The share of triangles whose winding (counter-clockwise seen from outside) agrees with their
// vertex normals.
double windingAgreement(const std::vector<forge::MeshVertex>& vertices,
                        const std::vector<std::uint32_t>& triangles) {
    int agreeing = 0;
    int counted = 0;
    for (std::size_t t = 0; t + 2 < triangles.size(); t += 3) {
        const forge::MeshVertex& a = vertices[triangles[t]];
        const forge::MeshVertex& b = vertices[triangles[t + 1]];
        const forge::MeshVertex& c = vertices[triangles[t + 2]];
        forge::Vec3 face = forge::cross(b.position - a.position, c.position - a.position);
        if (forge::length(face) < 1e-7f) {
            continue;
        }
        agreeing += forge::dot(face, a.normal + b.normal + c.normal) > 0.0f ? 1 : 0;
        ++counted;
    }
    return counted == 0 ? 0.0 : static_cast<double>(agreeing) / counted;
}

TEST(MeshShapes, EveryPrimitiveWindsCounterClockwiseAboutItsNormals) {
    EXPECT_EQ(
        windingAgreement(forge::lathe({{0, 0}, {1, 0}, {1, 0}, {1, 2}, {0.5f, 3}}, 12).vertices,
                         forge::lathe({{0, 0}, {1, 0}, {1, 0}, {1, 2}, {0.5f, 3}}, 12).triangles),
        1.0);
    forge::MeshPart parts[] = {forge::torus(4.0f, 1.0f, 16, 8), forge::sphere(2.0f, 16),
                               forge::tube({{0, 0, 0}, {0, 2, 0}, {1, 3, 0}}, 0.5f, 8),
                               forge::box({1.0f, 2.0f, 3.0f}),
                               forge::prism(forge::gearOutline(8, 2.0f, 3.0f), 1.0f)};
    const char* names[] = {"torus", "sphere", "tube", "box", "prism"};
    for (std::size_t i = 0; i < std::size(parts); ++i) {
        EXPECT_EQ(windingAgreement(parts[i].vertices, parts[i].triangles), 1.0) << names[i];
    }
}

// For every triangle the stored normals must face the way its winding does, on average: an
// inside-out part reflects the environment from behind.
TEST(SceneMeshes, NormalsFaceOutOfTheirSurfaces) {
    for (auto build : {forge::buildIndustryMesh, forge::buildAngelsMesh, forge::buildReactorMesh}) {
        std::vector<AmlSubMeshData> subMeshes = build().subMeshData();
        int agreeing = 0;
        int counted = 0;
        for (const AmlSubMeshData& subMesh : subMeshes) {
            for (std::size_t t = 0; t + 2 < subMesh.indices.size(); t += 3) {
                const float* a = &subMesh.vertices[subMesh.indices[t] * 8u];
                const float* b = &subMesh.vertices[subMesh.indices[t + 1] * 8u];
                const float* c = &subMesh.vertices[subMesh.indices[t + 2] * 8u];
                forge::Vec3 face = forge::cross(forge::Vec3{b[0] - a[0], b[1] - a[1], b[2] - a[2]},
                                                forge::Vec3{c[0] - a[0], c[1] - a[1], c[2] - a[2]});
                if (forge::length(face) < 1e-6f) {
                    continue;
                }
                forge::Vec3 normal{a[3] + b[3] + c[3], a[4] + b[4] + c[4], a[5] + b[5] + c[5]};
                agreeing += forge::dot(face, normal) > 0.0f ? 1 : 0;
                ++counted;
            }
        }
        EXPECT_GT(agreeing, counted * 97 / 100);
    }
}

TEST(MeshBuilder, StartsANewSubMeshBeforeTheIndexLimit) {
    forge::MeshBuilder builder;
    forge::MeshPart strip = forge::lathe({{1.0f, 0.0f}, {1.0f, 1.0f}}, 9999); // 20000 vertices
    builder.addPart(strip, forge::Transform::identity());
    builder.addPart(strip, forge::Transform::translation({0.0f, 2.0f, 0.0f}));
    std::vector<AmlSubMeshData> subMeshes = builder.subMeshData();
    ASSERT_EQ(subMeshes.size(), 2u);
    for (const AmlSubMeshData& subMesh : subMeshes) {
        EXPECT_EQ(subMesh.vertices.size(), 20000u * 8u);
        // Indices restart in each sub-mesh.
        EXPECT_EQ(*std::max_element(subMesh.indices.begin(), subMesh.indices.end()), 19999);
    }
    EXPECT_FLOAT_EQ(subMeshes[1].vertices[1], 2.0f);
    EXPECT_FALSE(encodeAml(subMeshes).empty());
}

TEST(MeshBuilder, FitsTheBoundingBoxCentreToTheOriginAtTheGivenRadius) {
    forge::MeshBuilder builder;
    builder.addPart(forge::box({1.0f, 2.0f, 3.0f}),
                    forge::Transform::translation({10.0f, 0.0f, 0.0f}));
    builder.fitToRadius(40.0f);
    std::vector<AmlSubMeshData> subMeshes = builder.subMeshData();
    ASSERT_EQ(subMeshes.size(), 1u);
    const std::vector<float>& v = subMeshes[0].vertices;
    float corner = std::sqrt(1.0f + 4.0f + 9.0f);
    for (std::size_t i = 0; i < v.size(); i += 8) {
        EXPECT_NEAR(std::sqrt(v[i] * v[i] + v[i + 1] * v[i + 1] + v[i + 2] * v[i + 2]), 40.0f,
                    1e-3f);
        EXPECT_NEAR(std::fabs(v[i]), 40.0f / corner, 1e-3f);
    }
}

// Squashing a sphere into an ellipsoid: each normal must stay perpendicular to the surface,
// which a normal transformed like a position does not.
TEST(Transform, KeepsNormalsPerpendicularUnderUnevenScaling) {
    forge::Transform squash =
        forge::Transform::rotation({0, 0, 1}, 0.7f) * forge::Transform::scaling({4.0f, 1.0f, 0.5f});
    auto linear = [&](forge::Vec3 v) { return squash.point(v) - squash.point({}); };
    forge::MeshPart ball = forge::sphere(1.0f, 24);
    int checked = 0;
    for (const forge::MeshVertex& vertex : ball.vertices) {
        forge::Vec3 n = vertex.normal;
        forge::Vec3 across = forge::cross(n, forge::Vec3{0.3f, 0.9f, 0.2f});
        if (forge::length(across) < 0.1f) {
            continue;
        }
        forge::Vec3 tangents[2] = {normalise(across), normalise(forge::cross(n, across))};
        forge::Vec3 normal = squash.normal(n);
        EXPECT_NEAR(forge::length(normal), 1.0f, 1e-4f);
        for (forge::Vec3 tangent : tangents) {
            EXPECT_NEAR(forge::dot(normalise(linear(tangent)), normal), 0.0f, 1e-4f);
        }
        // Still on the outside.
        EXPECT_GT(forge::dot(normal, squash.point(vertex.position) - squash.point({})), 0.0f);
        ++checked;
    }
    EXPECT_GT(checked, 200);
}

TEST(MeshShapes, LatheNormalsPointAwayFromTheAxisAndCapsUpOrDown) {
    forge::MeshPart can = forge::lathe(
        {{0.0f, 0.0f}, {2.0f, 0.0f}, {2.0f, 0.0f}, {2.0f, 3.0f}, {2.0f, 3.0f}, {0.0f, 3.0f}}, 16);
    for (const forge::MeshVertex& vertex : can.vertices) {
        forge::Vec3 p = vertex.position;
        forge::Vec3 n = vertex.normal;
        if (p.y == 0.0f && n.y != 0.0f) {
            EXPECT_FLOAT_EQ(n.y, -1.0f);
        } else if (p.y == 3.0f && n.y != 0.0f) {
            EXPECT_FLOAT_EQ(n.y, 1.0f);
        } else {
            EXPECT_GT(forge::dot(n, forge::Vec3{p.x, 0.0f, p.z}), 0.0f);
        }
    }
    forge::MeshPart ring = forge::torus(5.0f, 1.0f, 24, 12);
    for (const forge::MeshVertex& vertex : ring.vertices) {
        forge::Vec3 p = vertex.position;
        forge::Vec3 core = normalise(forge::Vec3{p.x, 0.0f, p.z}) * 5.0f;
        EXPECT_NEAR(forge::dot(vertex.normal, p - core), 1.0f, 1e-3f);
    }
}

TEST(MeshShapes, GearSidesFaceOutward) {
    forge::MeshPart gear = forge::prism(forge::gearOutline(12, 3.0f, 4.0f), 1.0f);
    int sideVertices = 0;
    for (const forge::MeshVertex& vertex : gear.vertices) {
        if (vertex.normal.y == 0.0f) {
            ++sideVertices;
            forge::Vec3 radial{vertex.position.x, 0.0f, vertex.position.z};
            EXPECT_GT(forge::dot(vertex.normal, radial), -1e-4f);
        }
    }
    EXPECT_EQ(sideVertices, 12 * 4 * 4);
}

} // namespace
