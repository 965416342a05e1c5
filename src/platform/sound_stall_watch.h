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
    // A device takes its first buffers at once, then waits for its sound server, which may ask
    // for more only two seconds later (a PulseAudio null sink does).
    static constexpr std::chrono::milliseconds startLimit{4000};
    // Looks further apart than this start the watch again.
    static constexpr std::chrono::milliseconds longestGap{400};

    // startFrames: what the device takes before it plays, ahead of its server's first request.
    explicit StallWatch(std::uint64_t startFrames) : startFrames(startFrames) {}

    // True once progress has stood still for its limit under watch.
    bool stalled(std::uint64_t progress, TimePoint now);

private:
    std::uint64_t startFrames;
    bool watching = false;
    std::uint64_t lastProgress = 0;
    TimePoint standingSince{};
    TimePoint lastLook{};
};

} // namespace platform
