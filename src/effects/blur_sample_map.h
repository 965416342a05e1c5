#pragma once

#include "effects/feedback_blur.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Where each of the blur's four shifted quads samples the texture for each pixel of the 512x512
// region, as this driver's linear filter does it: the texel pair along each axis and an 8-bit
// weight. Measured by drawing the quads themselves over patterns that reveal it, so no guess
// about the driver's interpolation enters; only its filter arithmetic is assumed, and the
// verified blur checks that against the reference.
class BlurSampleMap {
public:
    static constexpr int side = 512;

    // Mesa's llvmpipe filters with 8-bit weights, so each drawn sample is one weight exactly.
    // Drivers that filter more finely draw colours no 8-bit weight gives; nearest takes the
    // weight whose colour comes closest, and the map then follows their sampling to 1/256 of a
    // texel, not their arithmetic.
    enum class Matching { exact, nearest };

    struct Tap {
        // The lower-left texel of the four it mixes, from the pixel's own: -1 or 0 each way.
        std::int8_t texelS;
        std::int8_t texelT;
        std::uint8_t weightS; // of the right-hand texels, out of 256
        std::uint8_t weightT; // of the upper texels, out of 256
    };

    // Draws the quads of the given shifts with the caller's projection, into the lower-left
    // 512x512 pixels, and reads them back. False when a sample matches no 8-bit weight
    // (exactly), cannot be told apart from the patterns, or does not start at its pixel's own
    // texel or the one before; the map is then empty, and finding() says why.
    bool measure(const BlurQuadShifts& shifts, Matching matching = Matching::exact);
    bool measured() const { return !taps.empty(); }
    // Why the last measurement failed, or how many samples it matched only to the nearest
    // weight; empty when every sample matched exactly.
    const std::string& finding() const { return note; }

    // The taps of pixel (x, y) for the four quads, in drawing order.
    const Tap* tapsOf(int x, int y) const {
        return &taps[static_cast<std::size_t>(y * side + x) * 4];
    }

private:
    // The taps, if the counts of exact, unmatched and ambiguous samples allow them.
    bool keep(std::vector<Tap> measuredTaps, const std::array<std::size_t, 3>& kinds, bool outside,
              Matching matching);

    std::vector<Tap> taps;
    std::string note;
};
