#pragma once

#include "frame_rate.h"

#include <cstdint>

// The demo's millisecond timer during a capture: the seed plus the time of the current frame,
// wrapping at 2^32 as the real timer does. Between two frames it already reads the next frame's
// time, so a restart between them starts its run at that frame.
class VirtualClock {
public:
    VirtualClock(FrameRate rate, std::uint32_t seed);
    ~VirtualClock();
    VirtualClock(const VirtualClock&) = delete;
    VirtualClock& operator=(const VirtualClock&) = delete;

    // Becomes the platform's timer until destroyed.
    void install();
    void setFrame(std::uint64_t frame) { currentFrame = frame; }
    std::uint64_t frame() const { return currentFrame; }
    std::uint32_t reading() const;

private:
    FrameRate rate;
    std::uint32_t seed;
    std::uint64_t currentFrame = 0;
    bool installed = false;
};
