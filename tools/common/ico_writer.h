#pragma once

// Windows icon files (.ico) of one square picture of 8-bit RGB pixels, opaque, held as a
// 32-bit bitmap: the Windows program's own icon, which the forge draws.

#include <cstdint>
#include <string>

// side: 1 to 256 pixels; rows top first. On failure the reason is the system's, and no file is
// left behind.
bool writeIcoFile(const std::string& path, const std::uint8_t* rgbPixels, int side,
                  std::string& reason);
