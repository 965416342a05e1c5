#include "pending_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

PendingFile::PendingFile(std::string path)
    : finalPath(std::move(path)), partialPath(finalPath + ".partial") {}

PendingFile::~PendingFile() {
    discard();
}

bool PendingFile::create(std::string& reason) {
    const int descriptor =
        ::open(partialPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        reason = std::strerror(errno);
        return false;
    }
    ::close(descriptor);
    pending = true;
    return true;
}

bool PendingFile::commit(std::string& reason) {
    if (std::rename(partialPath.c_str(), finalPath.c_str()) != 0) {
        reason = std::strerror(errno);
        return false;
    }
    pending = false;
    return true;
}

bool PendingFile::discard() {
    if (!pending) {
        return false;
    }
    pending = false;
    return ::unlink(partialPath.c_str()) == 0;
}
