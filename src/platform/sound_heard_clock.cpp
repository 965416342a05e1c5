#include "platform/sound_heard_clock.h"

#include <algorithm>

namespace platform {

HeardClock::HeardClock(int mixRate, std::uint32_t queued) : rate(mixRate), queuedFrames(queued) {}

void HeardClock::bufferTaken(std::uint32_t frames, TimePoint when) {
    taken += frames;
    lastFrames = frames;
    lastTaken = when;
}

std::uint64_t HeardClock::heardFrame(TimePoint now) const {
    if (lastFrames == 0) {
        return 0;
    }
    constexpr std::int64_t second = 1000000000;
    const std::int64_t nanoseconds = std::clamp<std::int64_t>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(now - lastTaken).count(), 0, second);
    const std::int64_t played = std::min<std::int64_t>(lastFrames, nanoseconds * rate / second);
    const std::int64_t behind = std::int64_t{lastFrames} + queuedFrames;
    const std::int64_t heard = static_cast<std::int64_t>(taken) - behind + played;
    return heard > 0 ? static_cast<std::uint64_t>(heard) : 0;
}

} // namespace platform
