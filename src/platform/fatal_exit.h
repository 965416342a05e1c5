#pragma once

#include <string_view>

namespace platform {

using Teardown = void (*)();

// Subsystems that change what the user sees or hears (the window, the display mode, the audio
// device) register how to undo it, so a fatal error never leaves the desktop changed.
void registerTeardown(Teardown teardown);
void unregisterTeardown(Teardown teardown);

// The one way out on a fatal error: tears down every registered subsystem, newest first, then
// writes the message to stderr as it stands, shows it in the box if one is set, and ends the
// process with the status.
[[noreturn]] void fatalExit(int status, std::string_view message);

// For desktops where a program's stderr is seen by nobody: a box that shows fatal messages too,
// and returns once the user has read it. Null: stderr only.
using FatalMessageBox = void (*)(std::string_view message);
void setFatalMessageBox(FatalMessageBox show);

} // namespace platform
