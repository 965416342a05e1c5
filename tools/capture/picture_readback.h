#pragma once

#include <cstdint>
#include <vector>

inline constexpr int pictureWidth = 800;
inline constexpr int pictureHeight = 600;

// The 800x600 picture just drawn, as 8-bit RGB, bottom row first. Read before the swap: the
// platform keeps the picture's framebuffer bound for reading, and an offscreen surface keeps
// nothing after it.
void readPicture(std::vector<std::uint8_t>& pixels);
