#pragma once

#include "frame_rate.h"

#include <cstdint>
#include <span>
#include <vector>

// The demo always mixes at this rate.
inline constexpr std::uint32_t captureSampleRate = 44100;

// Drives the offline sound output with the frames: when frame k is drawn, exactly
// samplesAt(k) sound frames have been mixed since the capture began, restarts included.
class SoundFeed {
public:
    explicit SoundFeed(FrameRate rate) : rate(rate) {}

    // Mixes what is heard while the frame is shown, up to the next frame's start, and returns it
    // as interleaved stereo. Silence where no offline output is open.
    std::span<const std::int16_t> mixFrame(std::uint64_t frame);

private:
    FrameRate rate;
    std::vector<std::int16_t> silence;
};
