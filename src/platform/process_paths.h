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

// Makes what the program prints reach its user, first thing in main(). A Windows program for the
// desktop has no console of its own: it prints into the one it was started from, if any, and
// shows its fatal messages in a box as well, since a double-click leaves stderr unseen.
void connectProgramOutput();

} // namespace platform
