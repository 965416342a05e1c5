#include "platform/data_directory.h"

#include <filesystem>
#include <system_error>

namespace platform {

void enterDataDirectory() {
    namespace fs = std::filesystem;
    std::error_code error;
    if (fs::is_directory("data", error)) {
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
