#include "platform/sound_silent_device.h"

namespace platform {

SilentSoundDevice::SilentSoundDevice(int mixRate)
    : rate(mixRate), opened(std::chrono::steady_clock::now()) {}

std::uint64_t SilentSoundDevice::framesElapsed() const {
    const auto elapsed = std::chrono::steady_clock::now() - opened;
    const auto nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(elapsed).count();
    // Whole seconds apart: nanoseconds times the rate would pass 64 bits after about five days.
    constexpr std::uint64_t second = 1000000000;
    const auto count = static_cast<std::uint64_t>(nanoseconds);
    const auto perSecond = static_cast<std::uint64_t>(rate);
    return count / second * perSecond + count % second * perSecond / second;
}

} // namespace platform
