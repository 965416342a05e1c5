#include "resources/file_stream.h"

#include "resources/resource_error.h"

FileStream::FileStream(const std::string& fileName)
    : fileName(fileName), file(openResourceFile(fileName)) {
    if (file == nullptr) {
        failMissingFile(fileName);
    }
}

FileStream::~FileStream() {
    std::fclose(file);
}

std::int32_t FileStream::seek(std::int32_t offset, int origin) {
    return std::fseek(file, offset, origin);
}

std::int32_t FileStream::read(void* buffer, std::int32_t byteCount) {
    if (byteCount <= 0) {
        return 0;
    }
    return static_cast<std::int32_t>(
        std::fread(buffer, static_cast<std::size_t>(byteCount), 1, file));
}

std::int64_t FileStream::remaining() {
    const long position = std::ftell(file);
    if (position < 0 || std::fseek(file, 0, SEEK_END) != 0) {
        return 0;
    }
    const long end = std::ftell(file);
    // Going back must work where going to the end did; if not, nothing more can be read anyway.
    if (std::fseek(file, position, SEEK_SET) != 0 || end < position) {
        return 0;
    }
    return end - position;
}
