#pragma once

#include "shell/demo_window.h"

// Prepares one run of the demo in a freshly created window whose rendering context is current:
// the random seed, the first base colour, the effects, the music, the textures and the initial
// OpenGL state; the opening loop starts and demo time is zero when it returns.
void startDemo(DemoWindow& window, KeyState& keys);

// The first base colour: drawn blue, green, red, passed through OpenGL and read back, and only
// drawn again (red, green, blue) when too dark.
void pickFirstBaseColour();
