#pragma once

#include "image.h"

#include <string>

namespace forge {

// Writes an 8-bit RGB PNG; false when the file cannot be written.
bool writePng(const std::string& path, const Image& image);

} // namespace forge
