#include "platform/data_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

// Besides regular files, stat sees only these (links are followed).
const char* kindOf(mode_t mode) {
    if (S_ISDIR(mode)) {
        return "a folder";
    }
    if (S_ISFIFO(mode)) {
        return "a FIFO";
    }
    return S_ISSOCK(mode) ? "a socket" : "a device";
}

std::string notRegular(mode_t mode) {
    return std::string("it is ") + kindOf(mode) + ", not a regular file";
}

} // namespace

OpenedDataFile openDataFile(const char* name) {
    OpenedDataFile opened;
    struct stat status {};
    // Looked at before it is opened: opening a device can do something of its own.
    if (::stat(name, &status) != 0) {
        return opened;
    }
    if (!S_ISREG(status.st_mode)) {
        opened.refusal = notRegular(status.st_mode);
        return opened;
    }
    // Something else may take the file's place meanwhile: opened without waiting and checked
    // again. On a regular file the flag changes nothing.
    const int descriptor = ::open(name, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0) {
        return opened;
    }
    if (::fstat(descriptor, &status) != 0) {
        opened.refusal = std::strerror(errno);
    } else if (!S_ISREG(status.st_mode)) {
        opened.refusal = notRegular(status.st_mode);
    } else {
        opened.file = ::fdopen(descriptor, "rb");
        if (opened.file == nullptr) {
            opened.refusal = std::strerror(errno);
        }
    }
    if (opened.file == nullptr) {
        ::close(descriptor);
    }
    return opened;
}

} // namespace platform
