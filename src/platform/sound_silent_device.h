#pragma once

#include "platform/sound_device.h"

#include <cstdint>

namespace platform {

// Stands in when no audio device plays: nothing is heard, but frames pass as the platform's timer
// does, so positions advance, and everything timed by the music runs as it would with sound,
// pausing where the demo's own clock pauses (a hidden browser tab).
class SilentSoundDevice final : public SoundDevice {
public:
    explicit SilentSoundDevice(int rate);

    void lock() override {}
    void unlock() override {}
    std::uint64_t nextFrame() override { return framesElapsed(); }
    std::uint64_t heardFrame() override { return framesElapsed(); }

private:
    std::uint64_t framesElapsed();

    int rate;
    std::uint32_t lastReading;
    std::uint64_t milliseconds = 0;
};

} // namespace platform
