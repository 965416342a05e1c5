#include "platform/timer.h"

#include <ctime>

namespace platform {
namespace {

std::uint32_t monotonicMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const auto milliseconds = static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                              static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<std::uint32_t>(milliseconds);
}

// Constant-initialised: the demo clock reads it during static initialisation.
constinit TimeSource activeSource = nullptr;

} // namespace

std::uint32_t currentMilliseconds() {
    return activeSource ? activeSource() : monotonicMilliseconds();
}

void setTimeSource(TimeSource source) {
    activeSource = source;
}

} // namespace platform
