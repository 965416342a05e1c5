#pragma once

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// A file of the capture's own making that is never an output: made empty, removed at the end.
class ScratchFile {
public:
    ScratchFile() = default;
    ~ScratchFile();
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    // Makes the file empty at path, refusing anything but a regular file in its place. A failure
    // is told as one of the output it serves. False with the reason.
    bool create(std::string path, const std::filesystem::path& output, std::string& reason);
    const std::string& path() const { return name; }
    // Removes the file; true when there was one.
    bool discard();
    // Leaves the file alone from now on: it has been renamed into an output's place.
    void release() { made = false; }

private:
    std::string name;
    bool made = false;
};

// An output file, complete or not there at all. A regular file, or a new one, is written under a
// temporary name beside it and renamed into place once complete, so a capture that fails never
// leaves a file that looks finished. A symbolic link is followed: the file it names is replaced
// and the link stays. A device or FIFO is never replaced: it is opened before the capture and the
// complete bytes are copied into it, the temporary file kept in a private folder meanwhile.
class PendingFile {
public:
    explicit PendingFile(std::string path);
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // Follows the links and decides how the file will be written; makes nothing. False with the
    // reason.
    bool inspect(std::string& reason);
    // Creates the temporary file empty and opens a device or FIFO: proof that the place takes
    // the file. False with the reason.
    bool create(std::string& reason);
    // As the user named it.
    const std::string& path() const { return givenPath; }
    // The file really written, its links followed; known once inspected.
    const std::filesystem::path& target() const { return targetPath; }
    const std::string& temporaryPath() const { return temporary.path(); }
    // Where a helper file of this output goes, such as NAME.video.partial beside NAME.partial.
    std::string helperPath(std::string_view extension) const;
    // Every name this output and its helpers will take, for telling outputs apart.
    std::vector<std::filesystem::path>
    namesUsed(const std::vector<std::string_view>& helpers) const;
    // Puts the complete temporary file in place. False with the reason; a copy into a device or
    // FIFO also stops, with the reason "interrupted", once interrupted is set, even while its
    // reader has stopped reading.
    bool commit(const volatile std::sig_atomic_t& interrupted, std::string& reason);
    // Gives the file up, removing the temporary one; true when there was one.
    bool discard();
    // What the user must know once it is given up; empty when it was completed.
    std::string abandonNote() const;

private:
    bool inspectNewFile(int statError, std::string& reason);
    bool openDirectTarget(std::string& reason);
    bool makePrivateFolder(std::string& reason);
    bool copyIntoTarget(const volatile std::sig_atomic_t& interrupted, std::string& reason);
    bool copyBytes(int source, const volatile std::sig_atomic_t& interrupted, std::string& reason);
    void closeDirectTarget();

    std::string givenPath;
    std::filesystem::path targetPath;
    bool inspected = false;
    bool existed = false;
    bool direct = false;
    bool isFifo = false;
    int directTarget = -1;
    std::filesystem::path privateFolder;
    ScratchFile temporary;
    std::uint64_t bytesCopied = 0;
    bool committed = false;
};
