#include "virtual_clock.h"

#include "platform/timer.h"

namespace {

// The platform's time source is a plain function: it reads the one installed clock.
const VirtualClock* installedClock = nullptr;

std::uint32_t readInstalledClock() {
    return installedClock->reading();
}

} // namespace

VirtualClock::VirtualClock(FrameRate rate, std::uint32_t seed) : rate(rate), seed(seed) {}

VirtualClock::~VirtualClock() {
    if (installed) {
        platform::setTimeSource(nullptr);
        installedClock = nullptr;
    }
}

void VirtualClock::install() {
    installedClock = this;
    installed = true;
    platform::setTimeSource(readInstalledClock);
}

std::uint32_t VirtualClock::reading() const {
    return static_cast<std::uint32_t>(seed + rate.millisecondsAt(currentFrame));
}
