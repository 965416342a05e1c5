#include "platform/data_file.h"
#include "platform/sound_decoder.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace platform {
namespace {

bool readWholeFile(std::FILE* stream, std::vector<unsigned char>& bytes, std::string& reason) {
    unsigned char buffer[65536];
    std::size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, stream)) > 0) {
        bytes.insert(bytes.end(), buffer, buffer + count);
    }
    if (std::ferror(stream)) {
        reason = std::strerror(errno);
        return false;
    }
    return true;
}

} // namespace

DecodeResult readSoundFile(const char* fileName, std::vector<unsigned char>& bytes,
                           std::string& reason) {
    const OpenedDataFile opened = openDataFile(fileName);
    if (!opened.file) {
        reason = opened.refusal;
        return reason.empty() ? DecodeResult::missing : DecodeResult::corrupt;
    }
    std::FILE* stream = opened.file;
    const bool read = readWholeFile(stream, bytes, reason);
    std::fclose(stream);
    if (!read) {
        return DecodeResult::corrupt;
    }
    if (bytes.empty()) {
        reason = "the file is empty";
        return DecodeResult::corrupt;
    }
    return DecodeResult::decoded;
}

} // namespace platform
