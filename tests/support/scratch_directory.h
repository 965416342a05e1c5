#pragma once

#include <string>
#include <vector>

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

private:
    std::string root;
};
