#include "support/scratch_directory.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// A socket's file stays after the socket is closed: nothing listens, and opening it fails.
bool makeSocketFile(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        return false;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int socketDescriptor = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (socketDescriptor < 0) {
        return false;
    }
    const bool bound =
        ::bind(socketDescriptor, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(socketDescriptor);
    return bound;
}

} // namespace

ScratchDirectory::ScratchDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "lumivaha-test-XXXXXX");
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a scratch directory below " +
                                 std::filesystem::temp_directory_path().string());
    }
    root = pattern;
}

ScratchDirectory::~ScratchDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
}

bool ScratchDirectory::makeNotAFile(const std::string& name, NotAFile kind) const {
    const std::string path = file(name);
    std::error_code error;
    switch (kind) {
    case NotAFile::folder:
        return std::filesystem::create_directory(path, error);
    case NotAFile::fifo:
        return ::mkfifo(path.c_str(), 0600) == 0;
    case NotAFile::socket:
        return makeSocketFile(path);
    case NotAFile::deviceLink:
        return ::symlink("/dev/null", path.c_str()) == 0;
    }
    return false;
}

std::vector<std::string> ScratchDirectory::entries() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(root)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}
