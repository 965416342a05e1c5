#pragma once

#include <string>

// A file written under a temporary name beside its final one and renamed into place only once
// complete, so a capture that fails never leaves a file that looks finished.
class PendingFile {
public:
    explicit PendingFile(std::string path);
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // Creates the temporary file empty: proof that the place takes files. False with the reason.
    bool create(std::string& reason);
    const std::string& path() const { return finalPath; }
    const std::string& temporaryPath() const { return partialPath; }
    // Moves the temporary file into place. False with the reason.
    bool commit(std::string& reason);
    // Removes the temporary file; true when there was one.
    bool discard();

private:
    std::string finalPath;
    std::string partialPath;
    bool pending = false;
};
