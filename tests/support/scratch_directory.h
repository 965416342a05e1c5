#pragma once

#include <array>
#include <string>
#include <vector>

// What can stand where a file is expected without being a regular file.
enum class NotAFile { folder, fifo, socket, deviceLink };

// Every kind, with the words the data loaders refuse it with.
struct NotAFileCase {
    NotAFile kind;
    const char* refusal;
};
inline constexpr std::array<NotAFileCase, 4> notAFileCases = {{
    {NotAFile::folder, "it is a folder, not a regular file"},
    {NotAFile::fifo, "it is a FIFO, not a regular file"},
    {NotAFile::socket, "it is a socket, not a regular file"},
    {NotAFile::deviceLink, "it is a device, not a regular file"},
}};

// A fresh directory of its own below the system's temporary directory, removed with everything in
// it. Throws std::runtime_error when none can be made, so no test ever works in a shared one.
class ScratchDirectory {
public:
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::string& path() const { return root; }
    std::string file(const std::string& name) const { return root + "/" + name; }
    // The names of the files directly inside, sorted.
    std::vector<std::string> entries() const;
    // Puts the kind at name, a path inside this directory: a device only as a link to /dev/null,
    // so no device node is ever made. False when it cannot be made (or something is there).
    bool makeNotAFile(const std::string& name, NotAFile kind) const;

private:
    std::string root;
};
