#pragma once

#include "resources/byte_stream.h"

#include <cstdio>
#include <string>

// Reads a file through stdio. Exists only with an open file: a file that cannot be opened ends
// the process with "File <name> not found!" and status 1, and anything but a regular file in
// its place with "File <name> cannot be read: it is a FIFO, not a regular file" (or a folder,
// a device, a socket), without waiting on it.
class FileStream final : public ByteStream {
public:
    explicit FileStream(const std::string& fileName);
    ~FileStream() override;

    std::int32_t seek(std::int32_t offset, int origin) override;
    std::int32_t read(void* buffer, std::int32_t byteCount) override;
    std::int64_t remaining() override;
    std::string_view name() const override { return fileName; }

private:
    std::string fileName;
    std::FILE* file;
};
