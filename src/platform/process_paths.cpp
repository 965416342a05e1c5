#include "platform/process_paths.h"

#include <cstdlib>
#include <system_error>

namespace platform {

std::filesystem::path executablePath() {
    std::error_code error;
    std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : path;
}

std::optional<std::string> environmentVariable(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr) {
        return std::nullopt;
    }
    return std::string(value);
}

// A terminal program already prints where its user sees it.
void connectProgramOutput() {}

} // namespace platform
