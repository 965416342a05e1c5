#include "pending_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace fs = std::filesystem;

namespace {

// As many as the kernel itself follows before it gives up with ELOOP.
constexpr int mostLinksFollowed = 40;

fs::path folderOf(const fs::path& file) {
    return file.has_parent_path() ? file.parent_path() : fs::path(".");
}

bool nameTooLong(const fs::path& file) {
    struct stat status {};
    return ::lstat(file.c_str(), &status) != 0 && errno == ENAMETOOLONG;
}

// Why the file made could not be made for the output: an output's own name may be fine while
// the suffix of its temporary file takes it past the system's limit.
std::string creationFailure(const fs::path& made, const fs::path& output, int error) {
    const std::string madeName = made.filename().string();
    const std::string outputName = output.filename().string();
    if (error == ENAMETOOLONG && !nameTooLong(output) && madeName.starts_with(outputName)) {
        return "the name is too long to add \"" + madeName.substr(outputName.size()) +
               "\" to it for a temporary file";
    }
    if (error == ENOENT) {
        std::error_code ignored;
        const fs::path folder = folderOf(made);
        return fs::is_directory(folder, ignored)
                   ? "no files can be made in " + folder.string()
                   : "the folder " + folder.string() + " does not exist";
    }
    return std::strerror(error);
}

// Replaces path by the name its chain of symbolic links ends at, existing or not.
bool followLinks(fs::path& path, std::string& reason) {
    for (int followed = 0; followed <= mostLinksFollowed; ++followed) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(path, error))) {
            return true;
        }
        const fs::path next = fs::read_symlink(path, error);
        if (error) {
            reason = error.message();
            return false;
        }
        path = next.is_absolute() ? next : folderOf(path) / next;
    }
    reason = std::strerror(ELOOP);
    return false;
}

// A FIFO whose reader has stopped reading would hold a blocking write for ever, and the signal
// handlers restart it: the write waits here instead, looking at interrupted in between. Once the
// descriptor takes bytes, a write that blocks part-way returns early on a signal.
bool waitUntilWritable(int descriptor, const volatile std::sig_atomic_t& interrupted) {
    pollfd target{descriptor, POLLOUT, 0};
    while (!interrupted) {
        const int ready = ::poll(&target, 1, 10);
        // Ready, or an error that the write will report.
        if (ready > 0 || (ready < 0 && errno != EINTR)) {
            return true;
        }
    }
    return false;
}

bool writeAll(int descriptor, const char* bytes, std::size_t size,
              const volatile std::sig_atomic_t& interrupted, std::uint64_t& written,
              std::string& reason) {
    while (size > 0) {
        if (!waitUntilWritable(descriptor, interrupted)) {
            reason = "interrupted";
            return false;
        }
        const ssize_t done = ::write(descriptor, bytes, size);
        if (done < 0 && errno == EINTR) {
            continue;
        }
        if (done <= 0) {
            reason = errno == EPIPE ? "its reader stopped reading" : std::strerror(errno);
            return false;
        }
        bytes += done;
        size -= static_cast<std::size_t>(done);
        written += static_cast<std::uint64_t>(done);
    }
    return true;
}

} // namespace

ScratchFile::~ScratchFile() {
    discard();
}

bool ScratchFile::create(std::string path, const fs::path& output, std::string& reason) {
    discard();
    name = std::move(path);
    struct stat status {};
    if (::lstat(name.c_str(), &status) == 0 && !S_ISREG(status.st_mode)) {
        reason = name + " is in the way and is not a regular file";
        return false;
    }
    // No link followed and no wait on a FIFO, should one appear there meanwhile.
    const int descriptor = ::open(
        name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        reason = creationFailure(name, output, errno);
        return false;
    }
    const bool regular = ::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode);
    ::close(descriptor);
    if (!regular) {
        reason = name + " is in the way and is not a regular file";
        return false;
    }
    made = true;
    return true;
}

bool ScratchFile::discard() {
    if (!made) {
        return false;
    }
    made = false;
    return ::unlink(name.c_str()) == 0;
}

PendingFile::PendingFile(std::string path) : givenPath(std::move(path)) {}

PendingFile::~PendingFile() {
    discard();
}

bool PendingFile::inspect(std::string& reason) {
    targetPath = givenPath;
    inspected = false;
    if (!followLinks(targetPath, reason)) {
        return false;
    }
    struct stat status {};
    if (::stat(targetPath.c_str(), &status) != 0) {
        return inspectNewFile(errno, reason);
    }
    if (S_ISDIR(status.st_mode) || S_ISSOCK(status.st_mode)) {
        reason = S_ISDIR(status.st_mode) ? std::strerror(EISDIR) : "a socket takes no files";
        return false;
    }
    existed = true;
    direct = !S_ISREG(status.st_mode);
    isFifo = S_ISFIFO(status.st_mode);
    inspected = true;
    return true;
}

bool PendingFile::inspectNewFile(int statError, std::string& reason) {
    std::error_code ignored;
    if (statError != ENOENT) {
        reason = std::strerror(statError);
        return false;
    }
    if (!fs::is_directory(folderOf(targetPath), ignored)) {
        reason = "the folder " + folderOf(targetPath).string() + " does not exist";
        return false;
    }
    existed = false;
    direct = false;
    inspected = true;
    return true;
}

bool PendingFile::create(std::string& reason) {
    reason.clear();
    if (!inspected && !inspect(reason)) {
        return false;
    }
    if (direct && (!openDirectTarget(reason) || !makePrivateFolder(reason))) {
        return false;
    }
    return temporary.create(helperPath(""), targetPath, reason);
}

std::string PendingFile::helperPath(std::string_view extension) const {
    const fs::path folder = direct ? privateFolder : folderOf(targetPath);
    std::string name = targetPath.filename().string();
    name.append(extension).append(".partial");
    return (folder / name).string();
}

std::vector<fs::path> PendingFile::namesUsed(const std::vector<std::string_view>& helpers) const {
    std::vector<fs::path> names = {targetPath};
    // A direct target's temporary files live in a folder of their own.
    if (!direct) {
        names.emplace_back(helperPath(""));
        for (const std::string_view extension : helpers) {
            names.emplace_back(helperPath(extension));
        }
    }
    return names;
}

bool PendingFile::commit(const volatile std::sig_atomic_t& interrupted, std::string& reason) {
    if (direct) {
        if (!copyIntoTarget(interrupted, reason)) {
            return false;
        }
    } else if (std::rename(temporary.path().c_str(), targetPath.c_str()) != 0) {
        reason = std::strerror(errno);
        return false;
    } else {
        temporary.release();
    }
    committed = true;
    discard();
    return true;
}

bool PendingFile::discard() {
    const bool removed = temporary.discard();
    closeDirectTarget();
    if (!privateFolder.empty()) {
        std::error_code ignored;
        fs::remove_all(privateFolder, ignored);
        privateFolder.clear();
    }
    return removed;
}

std::string PendingFile::abandonNote() const {
    if (committed) {
        return {};
    }
    if (direct) {
        return bytesCopied == 0 ? "nothing was written to " + givenPath
                                : givenPath + " got only part of its data";
    }
    return givenPath + (existed ? " was left as it was" : " was not made");
}

bool PendingFile::openDirectTarget(std::string& reason) {
    // Opening a FIFO nobody reads would wait for a reader for ever.
    directTarget = ::open(targetPath.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (directTarget < 0) {
        reason = isFifo && errno == ENXIO ? "nothing reads this FIFO; start its reader first"
                                          : std::strerror(errno);
        return false;
    }
    // Once open, writes wait for a slow reader as they would on a pipe.
    const int flags = ::fcntl(directTarget, F_GETFL);
    if (flags < 0 || ::fcntl(directTarget, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        reason = std::strerror(errno);
        return false;
    }
    return true;
}

bool PendingFile::makePrivateFolder(std::string& reason) {
    std::error_code error;
    fs::path base = fs::temp_directory_path(error);
    if (error) {
        base = "/tmp";
    }
    std::string pattern = (base / "lumivaha-capture-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        reason = "no temporary folder in " + base.string() + ": " + std::strerror(errno);
        return false;
    }
    privateFolder = pattern;
    return true;
}

bool PendingFile::copyIntoTarget(const volatile std::sig_atomic_t& interrupted,
                                 std::string& reason) {
    const int source = ::open(temporary.path().c_str(), O_RDONLY | O_CLOEXEC);
    if (source < 0) {
        reason = std::strerror(errno);
        return false;
    }
    bool copied = copyBytes(source, interrupted, reason);
    ::close(source);
    const int target = std::exchange(directTarget, -1);
    if (::close(target) != 0 && copied) {
        reason = std::strerror(errno);
        copied = false;
    }
    return copied;
}

bool PendingFile::copyBytes(int source, const volatile std::sig_atomic_t& interrupted,
                            std::string& reason) {
    std::vector<char> buffer(std::size_t{1} << 16);
    for (;;) {
        const ssize_t got = ::read(source, buffer.data(), buffer.size());
        if (got == 0) {
            return true;
        }
        if (got < 0 && errno != EINTR) {
            reason = std::strerror(errno);
            return false;
        }
        if (got > 0 && !writeAll(directTarget, buffer.data(), static_cast<std::size_t>(got),
                                 interrupted, bytesCopied, reason)) {
            return false;
        }
    }
}

void PendingFile::closeDirectTarget() {
    if (directTarget >= 0) {
        ::close(directTarget);
        directTarget = -1;
    }
}
