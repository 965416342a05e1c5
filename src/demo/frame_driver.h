#pragma once

// Turns the key flags into requests.
void updateFrame();
// Draws one frame of the demo.
void drawFrame();
