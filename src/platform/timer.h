#pragma once

#include <cstdint>

namespace platform {

// Milliseconds of the monotonic clock since boot, truncated to 32 bits: it differs from run to
// run and wraps around every 49.7 days.
std::uint32_t currentMilliseconds();

using TimeSource = std::uint32_t (*)();
// Replaces the clock (the capture tool's virtual time, the browser's clock that stands still
// while the page is hidden, tests); null restores the real one.
void setTimeSource(TimeSource source);

} // namespace platform
