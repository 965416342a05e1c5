#include "forge/meshes/mesh_builder.h"

#include <algorithm>
#include <limits>

namespace forge {

void MeshBuilder::addPart(const MeshPart& part, const Transform& placement) {
    const std::vector<MeshVertex>& vertices = part.vertices;
    const std::vector<std::uint32_t>& triangles = part.triangles;
    if (blocks.empty() || blocks.back().vertices.size() + vertices.size() > maximumVertices ||
        blocks.back().indices.size() + triangles.size() > maximumTriangles * 3) {
        blocks.emplace_back();
    }
    Block& block = blocks.back();
    auto base = static_cast<std::uint32_t>(block.vertices.size());
    for (const MeshVertex& vertex : vertices) {
        block.vertices.push_back({placement.point(vertex.position), placement.normal(vertex.normal),
                                  vertex.s, vertex.t});
    }
    for (std::uint32_t index : triangles) {
        block.indices.push_back(static_cast<std::uint16_t>(base + index));
    }
}

void MeshBuilder::fitToRadius(float radius) {
    constexpr float huge = std::numeric_limits<float>::max();
    Vec3 low{huge, huge, huge};
    Vec3 high{-huge, -huge, -huge};
    for (const Block& block : blocks) {
        for (const MeshVertex& vertex : block.vertices) {
            low = {std::min(low.x, vertex.position.x), std::min(low.y, vertex.position.y),
                   std::min(low.z, vertex.position.z)};
            high = {std::max(high.x, vertex.position.x), std::max(high.y, vertex.position.y),
                    std::max(high.z, vertex.position.z)};
        }
    }
    Vec3 centre = (low + high) * 0.5f;
    float farthest = 0.0f;
    for (const Block& block : blocks) {
        for (const MeshVertex& vertex : block.vertices) {
            farthest = std::max(farthest, length(vertex.position - centre));
        }
    }
    float scale = farthest > 0.0f ? radius / farthest : 1.0f;
    for (Block& block : blocks) {
        for (MeshVertex& vertex : block.vertices) {
            vertex.position = (vertex.position - centre) * scale;
        }
    }
}

std::size_t MeshBuilder::triangleCount() const {
    std::size_t count = 0;
    for (const Block& block : blocks) {
        count += block.indices.size() / 3;
    }
    return count;
}

std::vector<AmlSubMeshData> MeshBuilder::subMeshData() const {
    std::vector<AmlSubMeshData> data;
    for (const Block& block : blocks) {
        AmlSubMeshData subMesh;
        subMesh.attributeSizes = {3, 3, 2};
        for (const MeshVertex& vertex : block.vertices) {
            subMesh.vertices.insert(subMesh.vertices.end(),
                                    {vertex.position.x, vertex.position.y, vertex.position.z,
                                     vertex.normal.x, vertex.normal.y, vertex.normal.z, vertex.s,
                                     vertex.t});
        }
        subMesh.indices = block.indices;
        data.push_back(std::move(subMesh));
    }
    return data;
}

} // namespace forge
