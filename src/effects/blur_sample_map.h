#pragma once

#include "effects/feedback_blur.h"

#include <cstdint>
#include <vector>

// Where each of the blur's four shifted quads samples the texture for each pixel of the 512x512
// region, as this driver's linear filter does it: the texel pair along each axis and an 8-bit
// weight. Measured by drawing the quads themselves over patterns that reveal it, so no guess
// about the driver's interpolation enters; only its filter arithmetic is assumed, and the
// verified blur checks that against the reference.
class BlurSampleMap {
public:
    static constexpr int side = 512;

    struct Tap {
        // The lower-left texel of the four it mixes, from the pixel's own: -1 or 0 each way.
        std::int8_t texelS;
        std::int8_t texelT;
        std::uint8_t weightS; // of the right-hand texels, out of 256
        std::uint8_t weightT; // of the upper texels, out of 256
    };

    // Draws the quads of the given shifts with the caller's projection, into the lower-left
    // 512x512 pixels, and reads them back. False when a pixel's samples cannot be told apart
    // from the patterns or do not start at its own texel or the one before; the map is then
    // empty.
    bool measure(const BlurQuadShifts& shifts);
    bool measured() const { return !taps.empty(); }

    // The taps of pixel (x, y) for the four quads, in drawing order.
    const Tap* tapsOf(int x, int y) const {
        return &taps[static_cast<std::size_t>(y * side + x) * 4];
    }

private:
    std::vector<Tap> taps;
};
