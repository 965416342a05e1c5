#pragma once

#include <cstdint>
#include <string>

// Writes 8-bit RGB pixels, rows stored bottom row first as OpenGL reads them, as a PNG file with
// the fastest compression. False with the reason on failure, and no file left behind.
bool writePngFile(const std::string& path, const std::uint8_t* pixels, int width, int height,
                  std::string& reason);
