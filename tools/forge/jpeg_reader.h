#pragma once

#include "image.h"

#include <optional>
#include <string>

namespace forge {

// Decodes a colour JPEG file for the contact sheet; nothing when it cannot be read.
std::optional<Image> readJpegImage(const std::string& path);

} // namespace forge
