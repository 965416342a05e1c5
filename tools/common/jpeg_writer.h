#pragma once

// JPEG files for the data set and the loaders' tests, encoded with libjpeg.
//
// The pixels are height rows of width x components bytes, top row first: 1 component is
// grayscale, 3 RGB, 4 CMYK. Every component keeps full resolution (no chroma subsampling: thin
// coloured lines on black smear badly at 4:2:0) and libjpeg's accurate integer DCT is used, as
// floating point could give other bytes on another host. Quality runs from 0 to 100. Baseline files
// are sequential; progressive ones use libjpeg's simple progression.

#include <cstdint>
#include <span>
#include <vector>

enum class JpegScan { baseline, progressive };

std::vector<std::uint8_t> encodeJpeg(std::span<const std::uint8_t> pixels, int width, int height,
                                     int components, int quality,
                                     JpegScan scan = JpegScan::baseline);
