#pragma once

#include "shell/demo_window.h"

// What the shell runs inside each window: given by the program, so the shell needs no demo.
struct DemoHooks {
    void (*startDemo)(DemoWindow& window, KeyState& keys) = nullptr;
    void (*updateFrame)() = nullptr;
    void (*drawFrame)() = nullptr;
};

inline constexpr int exitClassRegistrationFailed = -1;
inline constexpr int exitWindowCreationFailed = 1;

// Registers the window class and runs create-start-pump-destroy cycles until a quit that is not
// a mode toggle, every window created in the given mode. Returns the process's exit status.
int runEntryPoint(platform::InstanceHandle instance, const DemoHooks& demo,
                  WindowMode mode = WindowMode::displaySwitch);

// Dispatches every queued message and, whenever the queue is empty, draws one frame while the
// window is visible or waits while it is not. Returns when it takes WM_QUIT.
void runMessagePump(DemoWindow& window, const DemoHooks& demo);
