#pragma once

#include "platform/sound_device.h"

#include <chrono>

namespace platform {

// Stands in when no audio device opens: nothing is heard, but frames pass in real time, so
// positions advance and everything timed by the music runs as it would with sound.
class SilentSoundDevice final : public SoundDevice {
public:
    explicit SilentSoundDevice(int rate);

    void lock() override {}
    void unlock() override {}
    std::uint64_t nextFrame() override { return framesElapsed(); }
    std::uint64_t heardFrame() override { return framesElapsed(); }

private:
    std::uint64_t framesElapsed() const;

    int rate;
    std::chrono::steady_clock::time_point opened;
};

} // namespace platform
