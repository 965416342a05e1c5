#pragma once

#include <filesystem>
#include <optional>
#include <string>

// What the process knows of where it runs from, in UTF-8 as every name in the program is.
namespace platform {

// The running program's own file; empty when it cannot be told.
std::filesystem::path executablePath();
// An environment variable's value; nothing when it is not set.
std::optional<std::string> environmentVariable(const char* name);

} // namespace platform
