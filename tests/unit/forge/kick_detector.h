#pragma once

#include <cstdint>
#include <vector>

// Finds kick-drum onsets in interleaved 16-bit stereo at 44.1 kHz, in frames.
//
// Stage one looks only below about 70 Hz, where nothing but the kick lives, for a peak envelope
// that rises past a quarter of its loudest value from under half that 30 ms earlier. The body of
// a kick reaches that band some 25 to 55 ms after it starts, as its pitch falls, so stage two
// moves each find back to where the full-band signal first reached 0.7 of its peak in the 50 ms
// before it.
std::vector<std::int64_t> findKickOnsets(const std::vector<std::int16_t>& interleaved,
                                         std::int64_t frameLimit);
