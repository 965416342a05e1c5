#include "resources/memory_stream.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>

MemoryStream::MemoryStream(std::span<const std::uint8_t> bytes, std::string name)
    : bytes(bytes), streamName(std::move(name)) {}

std::int32_t MemoryStream::seek(std::int32_t offset, int origin) {
    std::int64_t base = 0;
    if (origin == SEEK_CUR) {
        base = static_cast<std::int64_t>(position);
    } else if (origin == SEEK_END) {
        base = static_cast<std::int64_t>(bytes.size());
    } else if (origin != SEEK_SET) {
        return -1;
    }
    // Like fseek: before the start is an error, beyond the end is allowed and reads nothing.
    const std::int64_t target = base + offset;
    if (target < 0) {
        return -1;
    }
    position = static_cast<std::size_t>(target);
    return 0;
}

std::int32_t MemoryStream::read(void* buffer, std::int32_t byteCount) {
    if (byteCount <= 0 || position >= bytes.size()) {
        return 0;
    }
    const std::size_t wanted = static_cast<std::size_t>(byteCount);
    const std::size_t available = std::min(wanted, bytes.size() - position);
    std::memcpy(buffer, bytes.data() + position, available);
    position += available;
    return available == wanted ? 1 : 0;
}

std::int64_t MemoryStream::remaining() {
    return position >= bytes.size() ? 0 : static_cast<std::int64_t>(bytes.size() - position);
}
