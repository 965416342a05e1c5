#include "common/aml_writer.h"

#include <bit>
#include <cstdio>
#include <limits>
#include <memory>
#include <numeric>

namespace {

constexpr std::size_t maximumCount = std::numeric_limits<std::uint16_t>::max();

void appendU8(std::vector<std::uint8_t>& bytes, std::uint32_t value) {
    bytes.push_back(static_cast<std::uint8_t>(value & 0xffu));
}

void appendU16(std::vector<std::uint8_t>& bytes, std::uint32_t value) {
    appendU8(bytes, value);
    appendU8(bytes, value >> 8);
}

void appendU32(std::vector<std::uint8_t>& bytes, std::uint32_t value) {
    appendU16(bytes, value);
    appendU16(bytes, value >> 16);
}

std::size_t floatsPerVertex(const AmlSubMeshData& subMesh) {
    return std::accumulate(subMesh.attributeSizes.begin(), subMesh.attributeSizes.end(),
                           std::size_t{0});
}

bool representable(const AmlSubMeshData& subMesh) {
    const std::size_t stride = floatsPerVertex(subMesh);
    if (subMesh.attributeSizes.size() > std::numeric_limits<std::uint8_t>::max()) {
        return false;
    }
    if (subMesh.indices.size() % 3 != 0 || subMesh.indices.size() / 3 > maximumCount) {
        return false;
    }
    if (stride == 0) {
        return subMesh.vertices.empty();
    }
    return subMesh.vertices.size() % stride == 0 &&
           subMesh.vertices.size() / stride <= maximumCount;
}

void appendSubMesh(std::vector<std::uint8_t>& bytes, const AmlSubMeshData& subMesh) {
    const std::size_t stride = floatsPerVertex(subMesh);
    const std::size_t vertexCount = stride == 0 ? 0 : subMesh.vertices.size() / stride;
    appendU16(bytes, static_cast<std::uint32_t>(vertexCount));
    appendU16(bytes, static_cast<std::uint32_t>(subMesh.indices.size() / 3));
    appendU8(bytes, static_cast<std::uint32_t>(subMesh.attributeSizes.size()));
    for (std::uint8_t size : subMesh.attributeSizes) {
        appendU8(bytes, size);
    }
    for (float value : subMesh.vertices) {
        appendU32(bytes, std::bit_cast<std::uint32_t>(value));
    }
    for (std::uint16_t index : subMesh.indices) {
        appendU16(bytes, index);
    }
}

} // namespace

std::vector<std::uint8_t> encodeAml(std::span<const AmlSubMeshData> subMeshes) {
    if (subMeshes.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        return {};
    }
    std::vector<std::uint8_t> bytes;
    appendU32(bytes, static_cast<std::uint32_t>(subMeshes.size()));
    for (const AmlSubMeshData& subMesh : subMeshes) {
        if (!representable(subMesh)) {
            return {};
        }
        appendSubMesh(bytes, subMesh);
    }
    return bytes;
}

bool writeAmlFile(const std::string& path, std::span<const AmlSubMeshData> subMeshes) {
    const std::vector<std::uint8_t> bytes = encodeAml(subMeshes);
    if (bytes.empty()) {
        return false;
    }
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "wb"),
                                                         std::fclose);
    if (!file) {
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
    return std::fclose(file.release()) == 0 && written;
}
