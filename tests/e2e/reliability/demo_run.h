#pragma once

#include "e2e/x_session.h"

#include <chrono>
#include <string>
#include <utility>
#include <vector>

using Environment = std::vector<std::pair<std::string, std::string>>;

inline const std::string demoTitle = "Tuulenpesija - Lumivaha";

// The demo's command line, started in workingDirectory (where it looks for data/ first).
std::vector<std::string> demoCommand(const std::string& workingDirectory);
// A screen, silent-but-working audio, and nothing inherited that would change the video driver.
Environment demoEnvironment(const std::string& display);
// Replaces the variable's value, or adds it.
void setVariable(Environment& environment, const std::string& name, const std::string& value);

// Presses a key on the window as a hand would, down for a moment and up again. Bounded in time:
// xdotool waits for ever for the focus of a window that has gone.
bool pressKey(const std::string& display, XWindowId window, const std::string& key,
              std::chrono::milliseconds held);

// The X server drops a departed client's windows when it notices the closed connection, so a
// window may outlive the process by a moment: true once none with the title is left.
bool windowGone(XSession& session, std::chrono::milliseconds timeout);

// The resident memory of a process in kilobytes, 0 when it cannot be read.
long residentKilobytes(int processId);
