#include "platform/data_directory.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace platform {

namespace {

bool holdsAnyOf(const std::vector<std::string>& dataFiles) {
    std::error_code error;
    return std::any_of(dataFiles.begin(), dataFiles.end(), [&error](const std::string& file) {
        return std::filesystem::exists(file, error);
    });
}

} // namespace

void enterDataDirectory(const std::vector<std::string>& dataFiles) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (fs::is_directory("data", error) && holdsAnyOf(dataFiles)) {
        return;
    }
    const fs::path executable = fs::read_symlink("/proc/self/exe", error);
    if (error) {
        return;
    }
    const fs::path home = executable.parent_path();
    if (fs::is_directory(home / "data", error)) {
        fs::current_path(home, error);
    }
}

} // namespace platform
