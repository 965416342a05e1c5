#pragma once

#include "forge/pictures/image.h"

namespace forge {

constexpr int stripPictureSize = 256;

// A band picture made by a shader alone, samples x samples per pixel.
Image makeShadedStripPicture(const Image::Shader& shader, int samples);

} // namespace forge
