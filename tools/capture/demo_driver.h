#pragma once

#include "shell/demo_window.h"

// What runs inside each window of the shell's create-start-pump-destroy cycle in place of the
// demo's own three calls. Each implementation calls the demo's start-up, update and draw itself,
// with its own work around them.
class DemoDriver {
public:
    virtual ~DemoDriver() = default;
    virtual void start(DemoWindow& window, KeyState& keys) = 0;
    virtual void update() = 0;
    virtual void draw() = 0;
};

// Runs the shell's cycles (F1 restarts included) with the driver; the shell's exit status.
int runDemo(DemoDriver& driver);

// Delivers a key press to the window the way the window system would.
void sendKey(DemoWindow& window, std::uintptr_t virtualKey, bool down);
