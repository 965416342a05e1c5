#pragma once

// PNG files of 8-bit RGB pixels: the capture tool's frames, the forge's icon and contact sheet,
// and the pictures the tests render for the documentation.
//
// The pixels are height rows of width x 3 bytes, in either row order, so pixels read back from
// OpenGL (bottom row first) are written upright without a copy. What the file is for decides how
// it is compressed: frames come by the thousand and are only read by other programs, so they
// take the cheapest filter and zlib's fastest level, looking for runs only, and no colour-space
// chunk, written directly rather than through libpng; pictures are kept and viewed, so they take
// libpng's default filtering and level and are tagged sRGB. The same pixels always give the same
// bytes. On failure the reason is the system's where it has one, and no file is left behind.

#include <cstdint>
#include <string>

enum class PngRowOrder { topFirst, bottomFirst };

enum class PngPurpose { frame, picture };

bool writePngFile(const std::string& path, const std::uint8_t* pixels, int width, int height,
                  PngRowOrder rowOrder, PngPurpose purpose, std::string& reason);
