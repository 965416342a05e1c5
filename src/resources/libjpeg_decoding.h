#pragma once

#include "resources/decoded_image.h"

#include <cstdio> // jpeglib.h needs FILE declared first
#include <jpeglib.h>
#include <string>

// The steps of readJpegFile that drive libjpeg, for the builds that have it.

// The decompressor's source and error manager must be set; a fatal decoder error goes to its
// error manager, which must not return. False, with nothing decoded, for a picture that
// unsupportedPictureReason refuses.
bool decodeJpeg(jpeg_decompress_struct& decompressor, DecodedImage& image);

// Why the picture whose header has just been read cannot be decoded; empty when it can.
std::string unsupportedPictureReason(const jpeg_decompress_struct& decompressor);
