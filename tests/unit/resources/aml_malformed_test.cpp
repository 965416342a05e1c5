#include "common/aml_writer.h"
#include "resource_test_files.h"
#include "resources/file_stream.h"
#include "resources/memory_stream.h"
#include "resources/mesh_model.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

// One sub-mesh of three vertices (sizes 3, 3, 2) and one triangle. Byte offsets: count 0, vertex
// count 4, triangle count 6, attribute count 8, sizes 9 to 11, vertices 12 to 107, indices 108
// to 113.
std::vector<std::uint8_t> validMesh() {
    AmlSubMeshData subMesh{{3, 3, 2}, std::vector<float>(24, 0.5f), {0, 1, 2}};
    return encodeAml(std::span(&subMesh, 1));
}

void putU16(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint16_t value) {
    bytes[offset] = static_cast<std::uint8_t>(value & 0xff);
    bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

void putU32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value) {
    putU16(bytes, offset, static_cast<std::uint16_t>(value & 0xffff));
    putU16(bytes, offset + 2, static_cast<std::uint16_t>(value >> 16));
}

std::vector<std::uint8_t> withCount(std::uint32_t count) {
    std::vector<std::uint8_t> bytes = validMesh();
    putU32(bytes, 0, count);
    return bytes;
}

std::vector<std::uint8_t> cutAt(std::size_t size) {
    std::vector<std::uint8_t> bytes = validMesh();
    bytes.resize(size);
    return bytes;
}

std::vector<std::uint8_t> withIndex(std::uint16_t index) {
    std::vector<std::uint8_t> bytes = validMesh();
    putU16(bytes, 110, index);
    return bytes;
}

std::vector<std::uint8_t> encoded(std::vector<std::uint8_t> sizes, std::size_t floatCount,
                                  std::vector<std::uint16_t> indices) {
    AmlSubMeshData subMesh{std::move(sizes), std::vector<float>(floatCount, 1.0f),
                           std::move(indices)};
    return encodeAml(std::span(&subMesh, 1));
}

std::vector<std::uint8_t> hugeVertexClaim() {
    // 65535 vertices of 16 x 255 floats would need a gigabyte; the file has none of it.
    std::vector<std::uint8_t> bytes = {1, 0, 0, 0, 0xff, 0xff, 0, 0, 16};
    bytes.insert(bytes.end(), 16, 255);
    return bytes;
}

struct MalformedCase {
    const char* name;
    std::function<std::vector<std::uint8_t>()> bytes;
    const char* fault;
};

const MalformedCase malformedCases[] = {
    {"NegativeCount", [] { return withCount(0xffffffffu); }, "the sub-mesh count -1 is negative"},
    {"MostNegativeCount", [] { return withCount(0x80000000u); },
     "the sub-mesh count -2147483648 is negative"},
    {"CountBeyondTheBytesLeft", [] { return withCount(23); },
     "the sub-mesh count 23 cannot fit in the 110 bytes left"},
    {"HugeCount", [] { return withCount(0x7fffffffu); },
     "the sub-mesh count 2147483647 cannot fit in the 110 bytes left"},
    {"SeventeenAttributes",
     [] {
         return encoded(std::vector<std::uint8_t>(17, 1), 51, {0, 1, 2});
     },
     "sub-mesh 0 has 17 attributes, at most 16 are allowed"},
    {"SevenFloatsPerVertex",
     [] {
         return encoded({3, 3, 1}, 21, {0, 1, 2});
     },
     "sub-mesh 0 has 7 floats per vertex, at least 8 are needed"},
    {"NoAttributes", [] { return encoded({}, 0, {}); },
     "sub-mesh 0 has 0 floats per vertex, at least 8 are needed"},
    {"IndexEqualToVertexCount", [] { return withIndex(3); },
     "sub-mesh 0 has index 3, outside its 3 vertices"},
    {"IndexNegativeWhenSigned", [] { return withIndex(0xffff); },
     "sub-mesh 0 has index 65535, above 32767"},
    {"IndexAboveSignedRangeOfALargeMesh",
     [] {
         return encoded({8}, 32769 * 8, {0, 32768, 1});
     },
     "sub-mesh 0 has index 32768, above 32767"},
    {"EndsInTheCount", [] { return cutAt(2); },
     "the file ends early in the sub-mesh count: 4 bytes needed, 2 left"},
    {"EmptyFile", [] { return cutAt(0); },
     "the file ends early in the sub-mesh count: 4 bytes needed, 0 left"},
    {"EndsBeforeTheFirstBlockHeader", [] { return cutAt(7); },
     "the sub-mesh count 1 cannot fit in the 3 bytes left"},
    {"EndsInTheAttributes", [] { return cutAt(10); },
     "the file ends early in the attributes of sub-mesh 0: 3 bytes needed, 1 left"},
    {"EndsInTheVertices", [] { return cutAt(50); },
     "the file ends early in the vertices of sub-mesh 0: 96 bytes needed, 38 left"},
    {"EndsInTheIndices", [] { return cutAt(112); },
     "the file ends early in the indices of sub-mesh 0: 6 bytes needed, 4 left"},
    {"SecondBlockMissing", [] { return withCount(2); },
     "the file ends early in sub-mesh 1: 5 bytes needed, 0 left"},
    {"HugeVertexClaim", hugeVertexClaim,
     "the file ends early in the vertices of sub-mesh 0: 1069531200 bytes needed, 0 left"},
};

class MalformedAml : public testing::TestWithParam<MalformedCase> {};

TEST_P(MalformedAml, IsRejectedWithItsFaultAndLeavesTheModelEmpty) {
    const std::vector<std::uint8_t> bytes = GetParam().bytes();
    MeshModel model;
    // A model that held something before must not keep it after a rejected load.
    const std::vector<std::uint8_t> previous = validMesh();
    MemoryStream previousStream(previous, "previous.AML");
    model.load(previousStream);
    ASSERT_EQ(model.subMeshCount, 1);

    MemoryStream stream(bytes, "bad.AML");
    std::string fault;
    EXPECT_FALSE(model.tryLoad(stream, fault));
    EXPECT_EQ(fault, GetParam().fault);
    EXPECT_EQ(model.subMeshCount, 0);
    EXPECT_EQ(model.subMeshes, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Faults, MalformedAml, testing::ValuesIn(malformedCases),
                         [](const testing::TestParamInfo<MalformedCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(MeshLoadDeathTest, MissingMeshEndsTheProcessNamingIt) {
    ScratchDirectory directory;
    const std::string path = directory.file("teolisuus.AML");
    EXPECT_EXIT(
        {
            MeshModel model;
            FileStream stream(path);
            model.load(stream);
        },
        testing::ExitedWithCode(1), "^File " + path + " not found!\n$");
}

TEST(MeshLoadDeathTest, CorruptMeshEndsTheProcessNamingFileAndFault) {
    ScratchDirectory directory;
    const std::string path = directory.file("enkelit.AML");
    writeBytes(path, withIndex(9));
    EXPECT_EXIT(
        {
            MeshModel model;
            FileStream stream(path);
            model.load(stream);
        },
        testing::ExitedWithCode(1),
        "^File " + path +
            " is not a valid mesh: sub-mesh 0 has index 9, outside its 3 vertices\n$");
}

TEST(MeshLoadDeathTest, TruncatedMeshFileEndsTheProcess) {
    ScratchDirectory directory;
    const std::string path = directory.file("reaktori.AML");
    writeBytes(path, cutAt(60));
    EXPECT_EXIT(
        {
            MeshModel model;
            FileStream stream(path);
            model.load(stream);
        },
        testing::ExitedWithCode(1),
        "is not a valid mesh: the file ends early in the vertices of sub-mesh 0: 96 bytes "
        "needed, 48 left");
}

} // namespace
