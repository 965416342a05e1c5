#pragma once

#include "common/aml_writer.h"
#include "forge/meshes/transform.h"

#include <cstdint>
#include <vector>

namespace forge {

// The showcase models are centred on the origin and fitted to this radius.
constexpr float modelRadius = 40.0f;

struct MeshVertex {
    Vec3 position;
    Vec3 normal;
    float s = 0.0f;
    float t = 0.0f;
};

// One primitive, in its own coordinates: triangles index its vertices.
struct MeshPart {
    std::vector<MeshVertex> vertices;
    std::vector<std::uint32_t> triangles;
};

// A model collected part by part. A part is kept whole within one sub-mesh; a new sub-mesh starts
// whenever the next part would take a sub-mesh past the format's index limit.
class MeshBuilder {
public:
    // Vertices per sub-mesh: signed 16-bit indices reach 32767.
    static constexpr std::uint32_t maximumVertices = 32767;
    // Triangles per sub-mesh: the count is an unsigned 16-bit field.
    static constexpr std::size_t maximumTriangles = 65535;

    // Adds one part, moved by placement.
    void addPart(const MeshPart& part, const Transform& placement);

    // Moves the model's bounding-box centre to the origin and scales it so that the farthest
    // vertex lies at radius.
    void fitToRadius(float radius);

    std::size_t triangleCount() const;
    // Sub-meshes with attribute sizes 3, 3, 2.
    std::vector<AmlSubMeshData> subMeshData() const;

private:
    struct Block {
        std::vector<MeshVertex> vertices;
        std::vector<std::uint16_t> indices;
    };
    std::vector<Block> blocks;
};

} // namespace forge
