#include "resource_test_files.h"
#include "resources/file_stream.h"
#include "resources/memory_stream.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <memory>

namespace {

struct FileStreamMaker {
    ScratchDirectory directory;
    std::unique_ptr<ByteStream> make(const std::vector<std::uint8_t>& bytes) {
        const std::string path = directory.file("stream.bin");
        writeBytes(path, bytes);
        return std::make_unique<FileStream>(path);
    }
};

struct MemoryStreamMaker {
    std::vector<std::uint8_t> held;
    std::unique_ptr<ByteStream> make(const std::vector<std::uint8_t>& bytes) {
        held = bytes;
        return std::make_unique<MemoryStream>(held, "memory");
    }
};

template <typename Maker> class ByteStreamTest : public testing::Test {
protected:
    ByteStream& open(const std::vector<std::uint8_t>& bytes) {
        stream = maker.make(bytes);
        return *stream;
    }

    Maker maker;
    std::unique_ptr<ByteStream> stream;
};

using StreamMakers = testing::Types<FileStreamMaker, MemoryStreamMaker>;
TYPED_TEST_SUITE(ByteStreamTest, StreamMakers);

TYPED_TEST(ByteStreamTest, IntegersAreLittleEndian) {
    ByteStream& stream =
        this->open({1, 0, 0, 1, 0, 0, 0, 1, 0xfe, 0x78, 0x56, 0x34, 0x12, 0xff, 0xff, 0xff, 0xff});
    EXPECT_EQ(stream.readU16(), 1);
    EXPECT_EQ(stream.readU16(), 256);
    EXPECT_EQ(stream.readU32(), 16777216u);
    EXPECT_EQ(stream.readU8(), 0xfe);
    EXPECT_EQ(stream.readU32(), 0x12345678u);
    EXPECT_EQ(stream.readU32(), 0xffffffffu);
}

TYPED_TEST(ByteStreamTest, FloatsAreLittleEndianIeee) {
    // 1.5f is 0x3fc00000; -2.25 as a double is 0xc002000000000000.
    ByteStream& stream = this->open({0x00, 0x00, 0xc0, 0x3f, 0, 0, 0, 0, 0, 0, 0x02, 0xc0});
    EXPECT_EQ(stream.readF32(), 1.5f);
    EXPECT_EQ(stream.readF64(), -2.25);
}

TYPED_TEST(ByteStreamTest, ReadOfNothingOrLessReturnsZero) {
    ByteStream& stream = this->open({7, 8});
    std::uint8_t buffer[2] = {0, 0};
    EXPECT_EQ(stream.read(buffer, 0), 0);
    EXPECT_EQ(stream.read(buffer, -1), 0);
    // Neither moved the position.
    EXPECT_EQ(stream.readU8(), 7);
}

TYPED_TEST(ByteStreamTest, CompleteAndShortBlockReads) {
    ByteStream& stream = this->open({1, 2, 3, 4, 5});
    std::uint8_t buffer[8] = {};
    EXPECT_EQ(stream.read(buffer, 3), 1);
    EXPECT_EQ(buffer[2], 3);
    EXPECT_EQ(stream.read(buffer, 3), 0);
    EXPECT_EQ(stream.read(buffer, 1), 0);
}

TYPED_TEST(ByteStreamTest, ShortTypedReadsReturnZero) {
    // Two bytes are there for a four-byte value: the partial bytes must not leak into the result.
    ByteStream& stream = this->open({0xaa, 0xbb});
    EXPECT_EQ(stream.readU32(), 0u);
    EXPECT_EQ(stream.readU8(), 0);
    EXPECT_EQ(stream.readU16(), 0);
    EXPECT_EQ(stream.readF32(), 0.0f);
    EXPECT_EQ(stream.readF64(), 0.0);
}

TYPED_TEST(ByteStreamTest, SeekFromEachOrigin) {
    ByteStream& stream = this->open({10, 11, 12, 13, 14, 15});
    EXPECT_EQ(stream.seek(4, SEEK_SET), 0);
    EXPECT_EQ(stream.readU8(), 14);
    EXPECT_EQ(stream.seek(-3, SEEK_CUR), 0);
    EXPECT_EQ(stream.readU8(), 12);
    EXPECT_EQ(stream.seek(-1, SEEK_END), 0);
    EXPECT_EQ(stream.readU8(), 15);
    EXPECT_NE(stream.seek(-1, SEEK_SET), 0);
}

TYPED_TEST(ByteStreamTest, RemainingFollowsThePosition) {
    ByteStream& stream = this->open({1, 2, 3, 4, 5, 6, 7});
    EXPECT_EQ(stream.remaining(), 7);
    stream.readU16();
    EXPECT_EQ(stream.remaining(), 5);
    // Asking must not move the position.
    EXPECT_EQ(stream.readU8(), 3);
    stream.seek(0, SEEK_END);
    EXPECT_EQ(stream.remaining(), 0);
    stream.seek(10, SEEK_END);
    EXPECT_EQ(stream.remaining(), 0);
    EXPECT_EQ(stream.readU8(), 0);
}

TEST(FileStreamDeathTest, MissingFileEndsTheProcessNamingIt) {
    ScratchDirectory directory;
    const std::string missing = directory.file("absent.AML");
    EXPECT_EXIT(FileStream stream(missing), testing::ExitedWithCode(1),
                "^File " + missing + " not found!\n$");
}

TEST(FileStreamDeathTest, AnythingButARegularFileEndsTheProcessWithoutWaitingOnIt) {
    // A FIFO nobody writes would block an ordinary open for ever; a folder reads as no bytes.
    ScratchDirectory directory;
    for (const NotAFileCase& notAFile : notAFileCases) {
        const std::string path = directory.file("enkelit.AML");
        std::filesystem::remove(path);
        ASSERT_TRUE(directory.makeNotAFile("enkelit.AML", notAFile.kind)) << notAFile.refusal;
        EXPECT_EXIT(FileStream stream(path), testing::ExitedWithCode(1),
                    "^File " + path + " cannot be read: " + notAFile.refusal + "\n$");
    }
}

TEST(FileStreamDeathTest, MissingFileWritesNothingToStandardOutput) {
    ScratchDirectory directory;
    const std::string missing = directory.file("absent.AML");
    const std::string captured = directory.file("stdout.txt");
    // The child's standard output goes to a file that the parent reads afterwards.
    EXPECT_EXIT(
        {
            std::freopen(captured.c_str(), "w", stdout);
            FileStream stream(missing);
        },
        testing::ExitedWithCode(1), "not found!");
    std::FILE* file = std::fopen(captured.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(std::fgetc(file), EOF);
    std::fclose(file);
}

} // namespace
