#pragma once

#include "image.h"

#include <vector>

namespace forge {

// Baseline three-component JPEG of the picture; quality 0 to 100.
std::vector<unsigned char> encodeJpeg(const Image& image, int quality);

} // namespace forge
