#include "resources/byte_stream.h"

#include "resources/portable_memory.h"

#include <array>

namespace {

template <std::size_t width> std::uint64_t readLittleEndian(ByteStream& stream) {
    std::array<std::uint8_t, width> bytes{};
    if (stream.read(bytes.data(), static_cast<std::int32_t>(width)) != 1) {
        return 0;
    }
    std::uint64_t value = 0;
    for (std::size_t i = width; i-- > 0;) {
        value = (value << 8) | bytes[i];
    }
    return value;
}

} // namespace

std::uint8_t ByteStream::readU8() {
    return static_cast<std::uint8_t>(readLittleEndian<1>(*this));
}

std::uint16_t ByteStream::readU16() {
    return static_cast<std::uint16_t>(readLittleEndian<2>(*this));
}

std::uint32_t ByteStream::readU32() {
    return static_cast<std::uint32_t>(readLittleEndian<4>(*this));
}

float ByteStream::readF32() {
    return bitCast<float>(readU32());
}

double ByteStream::readF64() {
    return bitCast<double>(readLittleEndian<8>(*this));
}
