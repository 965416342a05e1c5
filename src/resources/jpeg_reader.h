#pragma once

#include "resources/decoded_image.h"

#include <cstdio> // jpeglib.h needs FILE declared first
#include <jpeglib.h>
#include <memory>
#include <string>

// Larger pictures are refused before anything is allocated for them: a tiny file can declare a
// huge picture, and the demo's own are 512 pixels at most.
inline constexpr int maximumPictureSide = 4096;

// Decodes a JPEG file to RGB rows (grayscale pictures are expanded to RGB). Nothing when the file
// cannot be opened. A file that is corrupt, truncated or not a colour or grayscale picture ends
// the process with status 1, the decoder's own message and the file name.
std::unique_ptr<DecodedImage> readJpegFile(const std::string& fileName);

// The decompressor's source and error manager must be set; a fatal decoder error goes to its
// error manager, which must not return. False, with nothing decoded, for a picture that
// unsupportedPictureReason refuses.
bool decodeJpeg(jpeg_decompress_struct& decompressor, DecodedImage& image);

// Why the picture whose header has just been read cannot be decoded; empty when it can.
std::string unsupportedPictureReason(const jpeg_decompress_struct& decompressor);
