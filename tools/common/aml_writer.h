#pragma once

// AML mesh files for the data set and the tests, as the demo's MeshModel reads them.
//
// A file holds its sub-meshes in order, each a vertex array (every vertex the floats of its
// attributes, conventionally position 3, normal 3, texture coordinate 2) and a triangle list of
// 16-bit indices into it. Every number is little-endian on every host.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

struct AmlSubMeshData {
    std::vector<std::uint8_t> attributeSizes; // floats per attribute, conventionally {3, 3, 2}
    std::vector<float> vertices;        // vertex after vertex, sum(attributeSizes) floats each
    std::vector<std::uint16_t> indices; // three per triangle, corner order
};

// The bytes of an AML file holding the sub-meshes in order.
// Empty when a sub-mesh cannot be represented: more than 65535 vertices or triangles, more than
// 255 attributes, or float and index counts that are not whole vertices and triangles.
std::vector<std::uint8_t> encodeAml(std::span<const AmlSubMeshData> subMeshes);

// False when the file cannot be written completely.
bool writeAmlFile(const std::string& path, std::span<const AmlSubMeshData> subMeshes);
