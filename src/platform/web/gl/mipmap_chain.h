#pragma once

#include <cstdint>
#include <vector>

namespace webgl {

// Unsigned bytes, rows packed without gaps, bottom row first.
struct PixelImage {
    int width = 0;
    int height = 0;
    int components = 0;
    std::vector<std::uint8_t> texels;
};

// The power of two a mipmapped picture is scaled to: the largest one not above the size,
// or the next one up when the size is at least one and a half times that.
int nearestPowerOfTwo(int size);
// The caller's rows, each starting at a multiple of the unpack alignment.
PixelImage unpackImage(const std::uint8_t* pixels, int width, int height, int components,
                       int alignment);
// A box filter: each new texel averages the old texels under its footprint, by area, and
// truncates, as GLU does.
PixelImage scaleImage(const PixelImage& image, int width, int height);
// Each texel of the next level is the mean of the four texels it covers, rounded, or of two
// (once a side is 1), truncated: GLU's rounding, so the levels equal Mesa's byte for byte.
PixelImage halveImage(const PixelImage& image);
// Level 0 at power-of-two sizes, then every level down to 1x1.
std::vector<PixelImage> buildMipmapChain(const PixelImage& picture);

} // namespace webgl
