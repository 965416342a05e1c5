#pragma once

#include "resources/byte_stream.h"

#include <cstdint>
#include <span>
#include <string>

// Reads bytes held in memory (by the caller, for the stream's whole life), as FileStream reads a
// file: the asset tool checks what it wrote and the fuzzers feed the loaders this way.
class MemoryStream final : public ByteStream {
public:
    MemoryStream(std::span<const std::uint8_t> bytes, std::string name);

    std::int32_t seek(std::int32_t offset, int origin) override;
    std::int32_t read(void* buffer, std::int32_t byteCount) override;
    std::int64_t remaining() override;
    std::string_view name() const override { return streamName; }

private:
    std::span<const std::uint8_t> bytes;
    std::string streamName;
    std::size_t position = 0;
};
