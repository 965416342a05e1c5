#include "showcase_files.h"

#include "effects/mesh_showcase.h"
#include "resources/data_manifest.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

void addVertex(AmlSubMeshData& mesh, const std::array<float, 3>& position,
               const std::array<float, 3>& normal, float s, float t) {
    mesh.vertices.insert(mesh.vertices.end(), position.begin(), position.end());
    mesh.vertices.insert(mesh.vertices.end(), normal.begin(), normal.end());
    mesh.vertices.push_back(s);
    mesh.vertices.push_back(t);
}

} // namespace

AmlSubMeshData cubeMesh(float centreX, float centreY, float centreZ, float halfSide) {
    AmlSubMeshData mesh{{3, 3, 2}, {}, {}};
    const std::array<float, 3> centre = {centreX, centreY, centreZ};
    for (std::size_t axis = 0; axis < 3; ++axis) {
        for (const float sign : {-1.0f, 1.0f}) {
            const std::size_t u = (axis + 1) % 3;
            const std::size_t v = (axis + 2) % 3;
            std::array<float, 3> normal{};
            normal[axis] = sign;
            const auto first = static_cast<std::uint16_t>(mesh.vertices.size() / 8);
            for (const auto& [du, dv] :
                 {std::pair{-1.0f, -1.0f}, {1.0f, -1.0f}, {1.0f, 1.0f}, {-1.0f, 1.0f}}) {
                std::array<float, 3> position = centre;
                position[axis] += sign * halfSide;
                position[u] += du * halfSide;
                position[v] += dv * halfSide;
                addVertex(mesh, position, normal, (du + 1) / 2, (dv + 1) / 2);
            }
            for (const std::uint16_t corner : {0, 1, 2, 0, 2, 3}) {
                mesh.indices.push_back(static_cast<std::uint16_t>(first + corner));
            }
        }
    }
    return mesh;
}

AmlSubMeshData sphereMesh(float radius, int rings, int segments) {
    AmlSubMeshData mesh{{3, 3, 2}, {}, {}};
    for (int ring = 0; ring <= rings; ++ring) {
        const double latitude = M_PI * ring / rings;
        for (int segment = 0; segment <= segments; ++segment) {
            const double longitude = 2.0 * M_PI * segment / segments;
            const std::array<float, 3> normal = {
                static_cast<float>(std::sin(latitude) * std::cos(longitude)),
                static_cast<float>(std::cos(latitude)),
                static_cast<float>(std::sin(latitude) * std::sin(longitude))};
            addVertex(mesh, {normal[0] * radius, normal[1] * radius, normal[2] * radius}, normal,
                      static_cast<float>(segment) / static_cast<float>(segments),
                      static_cast<float>(ring) / static_cast<float>(rings));
        }
    }
    const int rowLength = segments + 1;
    for (int ring = 0; ring < rings; ++ring) {
        for (int segment = 0; segment < segments; ++segment) {
            const int a = ring * rowLength + segment;
            const int b = a + rowLength;
            for (const int corner : {a, b, a + 1, a + 1, b, b + 1}) {
                mesh.indices.push_back(static_cast<std::uint16_t>(corner));
            }
        }
    }
    return mesh;
}

ShowcaseDirectory::ShowcaseDirectory(const std::array<AmlModel, 3>& models)
    : previous(std::filesystem::current_path()) {
    std::filesystem::create_directory(directory.file("data"));
    for (std::size_t i = 0; i < models.size(); ++i) {
        if (!models[i].empty()) {
            EXPECT_TRUE(writeAmlFile(directory.file(meshFiles[i]), models[i])) << meshFiles[i];
        }
    }
    std::filesystem::current_path(directory.path());
}

ShowcaseDirectory::~ShowcaseDirectory() {
    std::filesystem::current_path(previous);
}
