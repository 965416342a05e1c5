#pragma once

// Turns the key flags into requests: Escape quits, F1 restarts, Space regenerates the bar layout.
void updateFrame();
// Draws one frame of the demo into the window's back buffer, then enforces the running time and
// the music schedule.
void drawFrame();

inline constexpr float runningTimeSeconds = 103.0f;
// A playing loop past this position has ended: new scene, new colour, new loop.
inline constexpr int loopEndMilliseconds = 14674;
// A loop past this position is rewound to its start.
inline constexpr int loopRewindMilliseconds = 14830;
