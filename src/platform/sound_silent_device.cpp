#include "platform/sound_silent_device.h"

#include "platform/timer.h"

namespace platform {

SilentSoundDevice::SilentSoundDevice(int mixRate)
    : rate(mixRate), lastReading(currentMilliseconds()) {}

std::uint64_t SilentSoundDevice::framesElapsed() {
    // The timer wraps around every 49 days; its differences do not.
    const std::uint32_t reading = currentMilliseconds();
    milliseconds += static_cast<std::uint32_t>(reading - lastReading);
    lastReading = reading;
    return milliseconds * static_cast<std::uint64_t>(rate) / 1000;
}

} // namespace platform
