#pragma once

#include <array>
#include <cstdint>
#include <memory>

inline constexpr int maximumAttributes = 16;
// Position (3), normal (3) and texture coordinate (2) are what drawing reads of every vertex.
inline constexpr int minimumFloatsPerVertex = 8;

// One sub-mesh of an AML model. Owns its arrays, so it moves but is never copied.
struct SubMesh {
    std::int32_t vertexCount = 0;
    std::int32_t triangleCount = 0;
    std::int32_t attributeCount = 0;
    // Only the first attributeCount entries are meaningful.
    std::array<std::int32_t, maximumAttributes> attributeSizes{};
    // The vertex stride in floats: the sum of the attribute sizes.
    std::int32_t floatsPerVertex = 0;
    std::unique_ptr<float[]> vertices;       // vertexCount x floatsPerVertex
    std::unique_ptr<std::int16_t[]> indices; // 3 x triangleCount, every one a valid vertex
};
