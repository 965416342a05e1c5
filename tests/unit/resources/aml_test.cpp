#include "common/aml_writer.h"
#include "resource_test_files.h"
#include "resources/file_stream.h"
#include "resources/memory_stream.h"
#include "resources/mesh_model.h"

#include <gtest/gtest.h>
#include <numeric>

namespace {

AmlSubMeshData makeSubMesh(std::vector<std::uint8_t> sizes, int vertexCount,
                           std::vector<std::uint16_t> indices, float seed) {
    const int stride = std::accumulate(sizes.begin(), sizes.end(), 0);
    AmlSubMeshData subMesh{std::move(sizes), {}, std::move(indices)};
    for (int i = 0; i < vertexCount * stride; ++i) {
        subMesh.vertices.push_back(seed + static_cast<float>(i) * 0.25f - 3.0f);
    }
    return subMesh;
}

MeshModel loadBytes(const std::vector<std::uint8_t>& bytes) {
    MeshModel model;
    MemoryStream stream(bytes, "mesh.AML");
    std::string fault;
    EXPECT_TRUE(model.tryLoad(stream, fault)) << fault;
    return model;
}

void expectSubMeshHolds(const SubMesh& loaded, const AmlSubMeshData& written) {
    ASSERT_EQ(loaded.attributeCount, static_cast<int>(written.attributeSizes.size()));
    for (std::size_t i = 0; i < written.attributeSizes.size(); ++i) {
        EXPECT_EQ(loaded.attributeSizes[i], written.attributeSizes[i]) << "attribute " << i;
    }
    const int stride =
        std::accumulate(written.attributeSizes.begin(), written.attributeSizes.end(), 0);
    EXPECT_EQ(loaded.floatsPerVertex, stride);
    ASSERT_EQ(loaded.vertexCount, static_cast<int>(written.vertices.size()) / stride);
    ASSERT_EQ(loaded.triangleCount, static_cast<int>(written.indices.size() / 3));
    for (std::size_t i = 0; i < written.vertices.size(); ++i) {
        ASSERT_EQ(loaded.vertices[i], written.vertices[i]) << "float " << i;
    }
    for (std::size_t i = 0; i < written.indices.size(); ++i) {
        ASSERT_EQ(loaded.indices[i], static_cast<std::int16_t>(written.indices[i])) << i;
    }
}

TEST(AmlFormat, WriterLaysOutFieldsLittleEndianWithoutGaps) {
    const AmlSubMeshData subMesh{{3, 3, 2}, {1, 2, 3, 4, 5, 6, 7, -0.5f}, {0, 0, 0}};
    const std::vector<std::uint8_t> bytes = encodeAml(std::span(&subMesh, 1));
    const std::vector<std::uint8_t> expectedStart = {1, 0, 0, 0, 1, 0, 1,    0,
                                                     3, 3, 3, 2, 0, 0, 0x80, 0x3f};
    ASSERT_EQ(bytes.size(), 4u + 5 + 3 + 8 * 4 + 3 * 2);
    EXPECT_TRUE(std::equal(expectedStart.begin(), expectedStart.end(), bytes.begin()));
    // -0.5f is 0xbf000000; the last vertex float precedes the three indices.
    EXPECT_EQ(bytes[bytes.size() - 7], 0xbf);
}

TEST(AmlFormat, RoundTripThroughMemory) {
    const std::vector<AmlSubMeshData> written = {
        makeSubMesh({3, 3, 2}, 4, {0, 1, 2, 2, 3, 0}, 1.0f),
        makeSubMesh({3, 3, 2, 4}, 3, {2, 1, 0}, -7.0f),
        makeSubMesh(std::vector<std::uint8_t>(16, 1), 2, {1, 0, 1}, 100.0f),
    };
    const MeshModel model = loadBytes(encodeAml(written));
    ASSERT_EQ(model.subMeshCount, 3);
    for (std::size_t i = 0; i < written.size(); ++i) {
        SCOPED_TRACE(i);
        expectSubMeshHolds(model.subMeshes[i], written[i]);
    }
}

TEST(AmlFormat, RoundTripThroughAFile) {
    ScratchDirectory directory;
    const std::string path = directory.file("round.AML");
    const std::vector<AmlSubMeshData> written = {makeSubMesh({3, 3, 2}, 3, {0, 1, 2}, 0.5f)};
    ASSERT_TRUE(writeAmlFile(path, written));
    MeshModel model;
    FileStream stream(path);
    model.load(stream);
    ASSERT_EQ(model.subMeshCount, 1);
    expectSubMeshHolds(model.subMeshes[0], written[0]);
}

TEST(AmlFormat, WriterReportsAnUnwritableFile) {
    ScratchDirectory directory;
    const std::vector<AmlSubMeshData> written = {makeSubMesh({3, 3, 2}, 3, {0, 1, 2}, 0.5f)};
    EXPECT_FALSE(writeAmlFile(directory.file("no/such/folder.AML"), written));
}

TEST(AmlFormat, WriterRefusesWhatTheFormatCannotHold) {
    const AmlSubMeshData partialVertex{{3, 3, 2}, std::vector<float>(9, 0.0f), {}};
    const AmlSubMeshData partialTriangle{{3, 3, 2}, std::vector<float>(8, 0.0f), {0, 0}};
    const AmlSubMeshData tooManyVertices{{8}, std::vector<float>(65536 * 8, 0.0f), {}};
    const AmlSubMeshData tooManyAttributes{std::vector<std::uint8_t>(256, 0), {}, {}};
    for (const AmlSubMeshData* subMesh :
         {&partialVertex, &partialTriangle, &tooManyVertices, &tooManyAttributes}) {
        EXPECT_TRUE(encodeAml(std::span(subMesh, 1)).empty());
    }
    const AmlSubMeshData mostVertices{{8}, std::vector<float>(65535 * 8, 0.0f), {}};
    EXPECT_FALSE(encodeAml(std::span(&mostVertices, 1)).empty());
}

TEST(AmlFormat, ZeroSubMeshesLoadsAnEmptyModel) {
    const MeshModel model = loadBytes(encodeAml({}));
    EXPECT_EQ(model.subMeshCount, 0);
}

TEST(AmlFormat, ZeroTrianglesAndZeroVerticesAreKept) {
    const std::vector<AmlSubMeshData> written = {makeSubMesh({3, 3, 2}, 5, {}, 0.0f),
                                                 makeSubMesh({3, 3, 2}, 0, {}, 0.0f),
                                                 makeSubMesh({3, 3, 2}, 3, {0, 1, 2}, 9.0f)};
    const MeshModel model = loadBytes(encodeAml(written));
    ASSERT_EQ(model.subMeshCount, 3);
    EXPECT_EQ(model.subMeshes[0].vertexCount, 5);
    EXPECT_EQ(model.subMeshes[0].triangleCount, 0);
    EXPECT_EQ(model.subMeshes[1].vertexCount, 0);
    // The block after the empty ones is read from the right place.
    expectSubMeshHolds(model.subMeshes[2], written[2]);
}

TEST(AmlFormat, WideVerticesKeepTheirStride) {
    const std::vector<AmlSubMeshData> written = {makeSubMesh({3, 3, 2, 4}, 3, {0, 1, 2}, 0.0f)};
    const MeshModel model = loadBytes(encodeAml(written));
    ASSERT_EQ(model.subMeshCount, 1);
    const SubMesh& subMesh = model.subMeshes[0];
    EXPECT_EQ(subMesh.floatsPerVertex, 12);
    for (int vertex = 0; vertex < 3; ++vertex) {
        EXPECT_EQ(subMesh.vertices[static_cast<std::size_t>(vertex * 12)],
                  written[0].vertices[static_cast<std::size_t>(vertex * 12)]);
    }
}

TEST(AmlFormat, BytesAfterTheLastBlockAreIgnored) {
    const std::vector<AmlSubMeshData> written = {makeSubMesh({3, 3, 2}, 3, {0, 1, 2}, 2.0f)};
    std::vector<std::uint8_t> bytes = encodeAml(written);
    bytes.insert(bytes.end(), {0xff, 0xff, 0xff});
    const MeshModel model = loadBytes(bytes);
    ASSERT_EQ(model.subMeshCount, 1);
    expectSubMeshHolds(model.subMeshes[0], written[0]);
}

TEST(AmlFormat, LoadingAgainKeepsOnlyTheSecondFile) {
    const std::vector<AmlSubMeshData> first = {makeSubMesh({3, 3, 2}, 4, {0, 1, 2}, 1.0f),
                                               makeSubMesh({3, 3, 2}, 3, {0, 1, 2}, 2.0f)};
    const std::vector<AmlSubMeshData> second = {makeSubMesh({3, 3, 2, 1}, 3, {2, 2, 1}, 5.0f)};
    const std::vector<std::uint8_t> firstBytes = encodeAml(first);
    const std::vector<std::uint8_t> secondBytes = encodeAml(second);
    MeshModel model;
    MemoryStream firstStream(firstBytes, "first.AML");
    model.load(firstStream);
    MemoryStream secondStream(secondBytes, "second.AML");
    model.load(secondStream);
    ASSERT_EQ(model.subMeshCount, 1);
    expectSubMeshHolds(model.subMeshes[0], second[0]);
}

TEST(AmlFormat, HighestSignedIndexIsAccepted) {
    const std::vector<AmlSubMeshData> written = {makeSubMesh({8}, 32768, {32767, 0, 32767}, 0.0f)};
    const MeshModel model = loadBytes(encodeAml(written));
    ASSERT_EQ(model.subMeshCount, 1);
    EXPECT_EQ(model.subMeshes[0].indices[0], 32767);
}

} // namespace
