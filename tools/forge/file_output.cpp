#include "forge/file_output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace forge {

bool writeFileBytes(const std::string& path, const std::vector<unsigned char>& bytes,
                    std::string& reason) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        reason = std::strerror(errno);
        return false;
    }
    std::size_t written = std::fwrite(bytes.data(), 1, bytes.size(), file);
    int writeError = written == bytes.size() ? 0 : errno;
    if (std::fclose(file) != 0 && writeError == 0) {
        writeError = errno;
    }
    if (writeError != 0) {
        reason = std::strerror(writeError);
        return false;
    }
    return true;
}

} // namespace forge
