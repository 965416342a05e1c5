#pragma once

#include <chrono>
#include <cstdint>

namespace platform {

// Tells an audio device that has stopped taking sound from a process that was itself held up.
// The host looks at the device's progress (frames taken) now and then; a standstill counts only
// while the host kept looking, so a process stopped and continued, or a main thread busy for a
// moment, is never taken for a device that hangs.
class StallWatch {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    // Standing still this long while playing is a stall.
    static constexpr std::chrono::milliseconds playingLimit{500};
    // A sound server may ask for its first buffer more than a second late.
    static constexpr std::chrono::milliseconds firstBufferLimit{3000};
    // Looks further apart than this start the watch again.
    static constexpr std::chrono::milliseconds longestGap{400};

    // True once progress has stood still for its limit under watch.
    bool stalled(std::uint64_t progress, TimePoint now);

private:
    bool watching = false;
    std::uint64_t lastProgress = 0;
    TimePoint standingSince{};
    TimePoint lastLook{};
};

} // namespace platform
