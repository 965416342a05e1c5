#pragma once

#include "resources/decoded_image.h"

#include <memory>
#include <string>

// Larger pictures are refused before anything is allocated for them: a tiny file can declare a
// huge picture, and the demo's own are 512 pixels at most.
inline constexpr int maximumPictureSide = 4096;

// Decodes a JPEG file to RGB rows (grayscale pictures are expanded to RGB). Nothing when the file
// cannot be opened. A file that is corrupt, truncated or not a colour or grayscale picture ends
// the process with status 1, the decoder's own message and the file name; so does anything but a
// regular file in its place (a FIFO, a folder, a device), without waiting on it.
std::unique_ptr<DecodedImage> readJpegFile(const std::string& fileName);
