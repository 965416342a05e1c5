#pragma once

#include "shell/demo_window.h"

// Where the frame driver sends its quit and mode-toggle requests and reads the keys.
extern DemoWindow* demoWindow;
extern KeyState* keyState;

// Prepares one run of the demo in a freshly created window whose rendering context is current.
void startDemo(DemoWindow& window, KeyState& keys);
