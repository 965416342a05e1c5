#pragma once

#include <string>

// What a fresh client sees of an X screen: its size and how many top-level windows exist, mapped
// or not. A program that went away cleanly leaves both as it found them.
struct ScreenState {
    int width = 0;
    int height = 0;
    int topLevelWindows = -1; // -1: the display could not be opened

    bool operator==(const ScreenState&) const = default;
};

ScreenState readScreenState(const std::string& display);
