#include "platform/sound_stall_watch.h"

namespace platform {

bool StallWatch::stalled(std::uint64_t progress, TimePoint now) {
    const bool lookedAway = !watching || now - lastLook > longestGap;
    if (lookedAway || progress != lastProgress) {
        watching = true;
        lastProgress = progress;
        standingSince = now;
    }
    lastLook = now;
    const auto limit = progress <= startFrames ? startLimit : playingLimit;
    return now - standingSince >= limit;
}

} // namespace platform
