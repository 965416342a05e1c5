#pragma once

#include <chrono>
#include <cstdint>

namespace platform {

// Which device frame the listener hears, estimated from the moments an audio device takes its
// buffers. When a buffer is taken, queuedFrames are still waiting ahead of it in the driver; the
// listener then moves on in real time, but stays queuedFrames short of everything taken, so the
// estimate neither jumps back at the next buffer nor runs ahead when a buffer comes late.
class HeardClock {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    HeardClock(int rate, std::uint32_t queuedFrames);

    void bufferTaken(std::uint32_t frames, TimePoint when);
    std::uint64_t framesTaken() const { return taken; }
    std::uint64_t heardFrame(TimePoint now) const;

private:
    int rate;
    std::uint32_t queuedFrames;
    std::uint64_t taken = 0;
    std::uint32_t lastFrames = 0;
    TimePoint lastTaken{};
};

} // namespace platform
