#pragma once

#include <cstdint>
#include <string_view>

// A reader of raw blocks and little-endian typed values, whatever the host's byte order.
class ByteStream {
public:
    ByteStream() = default;
    ByteStream(const ByteStream&) = delete;
    ByteStream& operator=(const ByteStream&) = delete;
    virtual ~ByteStream() = default;

    // origin is SEEK_SET, SEEK_CUR or SEEK_END. 0 on success.
    virtual std::int32_t seek(std::int32_t offset, int origin) = 0;
    // 1 when all byteCount bytes were read, otherwise 0 (also for a count of 0 or less). A short
    // read may still have consumed and stored part of the block.
    virtual std::int32_t read(void* buffer, std::int32_t byteCount) = 0;
    // Bytes between the read position and the end, so loaders can check sizes before they
    // allocate. 0 when the stream cannot tell.
    virtual std::int64_t remaining() = 0;
    // What the stream reads, for messages: the file name.
    virtual std::string_view name() const = 0;

    // A typed read that comes up short returns 0.
    virtual std::uint8_t readU8();
    virtual std::uint16_t readU16();
    virtual std::uint32_t readU32();
    virtual float readF32();
    virtual double readF64();
};
