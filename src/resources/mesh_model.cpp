#include "resources/mesh_model.h"

#include "platform/startup_probe.h"
#include "resources/portable_memory.h"
#include "resources/resource_error.h"

#include <GL/gl.h>
#include <cstring>

namespace {

// vertexCount, triangleCount and attributeCount: the least a sub-mesh block can take.
constexpr std::int64_t minimumBlockBytes = 5;
constexpr std::uint32_t largestIndex = 32767;

std::uint32_t littleEndianAt(const std::uint8_t* bytes, int width) {
    std::uint32_t value = 0;
    for (int i = width; i-- > 0;) {
        value = (value << 8) | bytes[i];
    }
    return value;
}

std::string endsEarly(std::string_view where, std::int64_t needed, std::int64_t left) {
    return "the file ends early " + std::string(where) + ": " + std::to_string(needed) +
           " bytes needed, " + std::to_string(left) + " left";
}

std::string subMeshName(std::int32_t index) {
    return "sub-mesh " + std::to_string(index);
}

bool readBlock(ByteStream& stream, void* destination, std::int64_t byteCount) {
    return byteCount == 0 || stream.read(destination, static_cast<std::int32_t>(byteCount)) == 1;
}

class AmlReader {
public:
    AmlReader(ByteStream& stream, std::string& fault) : stream(stream), fault(fault) {}

    bool readCount(std::int32_t& count);
    bool readSubMesh(std::int32_t index, SubMesh& subMesh);

private:
    bool need(std::int64_t byteCount, std::string_view where);
    bool readAttributes(std::int32_t index, SubMesh& subMesh);
    bool readVertices(std::int32_t index, SubMesh& subMesh);
    bool readIndices(std::int32_t index, SubMesh& subMesh);

    ByteStream& stream;
    std::string& fault;
};

bool AmlReader::need(std::int64_t byteCount, std::string_view where) {
    const std::int64_t left = stream.remaining();
    if (byteCount <= left) {
        return true;
    }
    fault = endsEarly(where, byteCount, left);
    return false;
}

bool AmlReader::readCount(std::int32_t& count) {
    if (!need(4, "in the sub-mesh count")) {
        return false;
    }
    count = static_cast<std::int32_t>(stream.readU32());
    if (count < 0) {
        fault = "the sub-mesh count " + std::to_string(count) + " is negative";
        return false;
    }
    const std::int64_t left = stream.remaining();
    if (count > left / minimumBlockBytes) {
        fault = "the sub-mesh count " + std::to_string(count) + " cannot fit in the " +
                std::to_string(left) + " bytes left";
        return false;
    }
    return true;
}

bool AmlReader::readSubMesh(std::int32_t index, SubMesh& subMesh) {
    if (!need(minimumBlockBytes, "in " + subMeshName(index))) {
        return false;
    }
    subMesh.vertexCount = stream.readU16();
    subMesh.triangleCount = stream.readU16();
    subMesh.attributeCount = stream.readU8();
    return readAttributes(index, subMesh) && readVertices(index, subMesh) &&
           readIndices(index, subMesh);
}

bool AmlReader::readAttributes(std::int32_t index, SubMesh& subMesh) {
    if (subMesh.attributeCount > maximumAttributes) {
        fault = subMeshName(index) + " has " + std::to_string(subMesh.attributeCount) +
                " attributes, at most " + std::to_string(maximumAttributes) + " are allowed";
        return false;
    }
    if (!need(subMesh.attributeCount, "in the attributes of " + subMeshName(index))) {
        return false;
    }
    subMesh.floatsPerVertex = 0;
    for (std::int32_t i = 0; i < subMesh.attributeCount; ++i) {
        subMesh.attributeSizes[static_cast<std::size_t>(i)] = stream.readU8();
        subMesh.floatsPerVertex += subMesh.attributeSizes[static_cast<std::size_t>(i)];
    }
    if (subMesh.floatsPerVertex < minimumFloatsPerVertex) {
        fault = subMeshName(index) + " has " + std::to_string(subMesh.floatsPerVertex) +
                " floats per vertex, at least " + std::to_string(minimumFloatsPerVertex) +
                " are needed";
        return false;
    }
    return true;
}

bool AmlReader::readVertices(std::int32_t index, SubMesh& subMesh) {
    const std::int64_t floatCount =
        static_cast<std::int64_t>(subMesh.vertexCount) * subMesh.floatsPerVertex;
    if (!need(floatCount * 4, "in the vertices of " + subMeshName(index))) {
        return false;
    }
    subMesh.vertices = uninitialisedArray<float>(static_cast<std::size_t>(floatCount));
    if (!readBlock(stream, subMesh.vertices.get(), floatCount * 4)) {
        fault = "the vertices of " + subMeshName(index) + " cannot be read";
        return false;
    }
    // Read as the file's little-endian bytes, turned into host floats in place.
    auto* bytes = reinterpret_cast<std::uint8_t*>(subMesh.vertices.get());
    for (std::int64_t i = 0; i < floatCount; ++i) {
        subMesh.vertices[static_cast<std::size_t>(i)] =
            bitCast<float>(littleEndianAt(bytes + i * 4, 4));
    }
    return true;
}

bool AmlReader::readIndices(std::int32_t index, SubMesh& subMesh) {
    const std::int64_t indexCount = static_cast<std::int64_t>(subMesh.triangleCount) * 3;
    if (!need(indexCount * 2, "in the indices of " + subMeshName(index))) {
        return false;
    }
    subMesh.indices = uninitialisedArray<std::int16_t>(static_cast<std::size_t>(indexCount));
    if (!readBlock(stream, subMesh.indices.get(), indexCount * 2)) {
        fault = "the indices of " + subMeshName(index) + " cannot be read";
        return false;
    }
    auto* bytes = reinterpret_cast<std::uint8_t*>(subMesh.indices.get());
    for (std::int64_t i = 0; i < indexCount; ++i) {
        const std::uint32_t vertex = littleEndianAt(bytes + i * 2, 2);
        if (vertex > largestIndex) {
            fault = subMeshName(index) + " has index " + std::to_string(vertex) + ", above " +
                    std::to_string(largestIndex);
            return false;
        }
        if (vertex >= static_cast<std::uint32_t>(subMesh.vertexCount)) {
            fault = subMeshName(index) + " has index " + std::to_string(vertex) + ", outside its " +
                    std::to_string(subMesh.vertexCount) + " vertices";
            return false;
        }
        subMesh.indices[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(vertex);
    }
    return true;
}

const float* vertexOfCorner(const SubMesh& subMesh, std::int32_t corner) {
    return subMesh.vertices.get() +
           static_cast<std::ptrdiff_t>(subMesh.indices[static_cast<std::size_t>(corner)]) *
               subMesh.floatsPerVertex;
}

// The shared vertices are sent once and the indices pick them, which the loader has proved are
// all in range. Drawing from arrays leaves the current normal and texture coordinate undefined,
// so the last corner's are set again, as the per-vertex calls would have left them.
void drawFromArrays(const SubMesh& subMesh) {
    const GLsizei stride = subMesh.floatsPerVertex * static_cast<GLsizei>(sizeof(float));
    const std::int32_t cornerCount = subMesh.triangleCount * 3;
    glEnable(GL_TEXTURE_2D);
    glVertexPointer(3, GL_FLOAT, stride, subMesh.vertices.get());
    glNormalPointer(GL_FLOAT, stride, subMesh.vertices.get() + 3);
    glTexCoordPointer(2, GL_FLOAT, stride, subMesh.vertices.get() + 6);
    glDrawElements(GL_TRIANGLES, cornerCount, GL_UNSIGNED_SHORT, subMesh.indices.get());
    if (cornerCount > 0) {
        const float* last = vertexOfCorner(subMesh, cornerCount - 1);
        glNormal3fv(last + 3);
        glTexCoord2fv(last + 6);
    }
    glDisable(GL_TEXTURE_2D);
}

} // namespace

void MeshModel::load(ByteStream& stream) {
    const platform::StartupProbe probe(platform::StartupStep::meshLoad);
    std::string fault;
    if (!tryLoad(stream, fault)) {
        failResource(stream.name(), "is not a valid mesh: " + fault);
    }
}

bool MeshModel::tryLoad(ByteStream& stream, std::string& fault) {
    subMeshes.reset();
    subMeshCount = 0;
    AmlReader reader(stream, fault);
    std::int32_t count = 0;
    if (!reader.readCount(count)) {
        return false;
    }
    auto loaded = std::make_unique<SubMesh[]>(static_cast<std::size_t>(count));
    for (std::int32_t i = 0; i < count; ++i) {
        if (!reader.readSubMesh(i, loaded[static_cast<std::size_t>(i)])) {
            return false;
        }
    }
    subMeshes = std::move(loaded);
    subMeshCount = count;
    return true;
}

void MeshModel::drawPerVertex() const {
    for (std::int32_t i = 0; i < subMeshCount; ++i) {
        const SubMesh& subMesh = subMeshes[static_cast<std::size_t>(i)];
        glEnable(GL_TEXTURE_2D);
        glBegin(GL_TRIANGLES);
        for (std::int32_t corner = 0; corner < subMesh.triangleCount * 3; ++corner) {
            const float* vertex = vertexOfCorner(subMesh, corner);
            glNormal3fv(vertex + 3);
            glTexCoord2fv(vertex + 6);
            glVertex3fv(vertex);
        }
        glEnd();
        glDisable(GL_TEXTURE_2D);
    }
}

void MeshModel::draw() const {
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    for (std::int32_t i = 0; i < subMeshCount; ++i) {
        drawFromArrays(subMeshes[static_cast<std::size_t>(i)]);
    }
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
}
