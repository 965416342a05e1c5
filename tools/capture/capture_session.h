#pragma once

#include "capture_options.h"
#include "capture_outputs.h"
#include "demo_driver.h"
#include "progress_meter.h"
#include "sound_feed.h"
#include "virtual_clock.h"

#include <csignal>
#include <cstdint>
#include <vector>

// The frames one capture renders, from the first up to (not including) the end, when the demo
// does not quit earlier: for the whole demo, its own end after 103 s of its last run.
std::uint64_t expectedFrameCount(const CaptureOptions& options);

// Runs the demo frame by frame on the virtual clock: frame k at k x D / N seconds, the sound mixed
// exactly up to each frame, the keys pressed on their frames, and the frames from --from on read
// back and written until --to.
class CaptureSession final : public DemoDriver {
public:
    CaptureSession(const CaptureOptions& options, std::uint32_t seed, CaptureOutputs& outputs,
                   ProgressMeter& progress, const volatile std::sig_atomic_t& interrupted);

    void start(DemoWindow& window, KeyState& keys) override;
    void update() override;
    void draw() override;

    std::uint64_t framesRendered() const { return clock.frame(); }
    std::uint64_t firstWrittenFrame() const { return firstWritten; }
    // True when the capture ended at --to rather than with the demo.
    bool reachedEnd() const { return stoppedAtEnd; }
    // True once a --press of Escape has gone down: it, not the demo's own end, stops the demo.
    bool escapePressed() const { return escapeSent; }
    bool wasInterrupted() const { return stoppedByInterrupt; }
    int runs() const { return runCount; }

private:
    struct ScheduledKey {
        std::uint64_t frame;
        std::uintptr_t virtualKey;
    };

    void pressKeys(bool down);
    void writeFrame();
    bool mustStop();

    FrameRate rate;
    VirtualClock clock;
    SoundFeed sound;
    CaptureOutputs& outputs;
    ProgressMeter& progress;
    const volatile std::sig_atomic_t& interrupted;
    std::vector<ScheduledKey> keys;
    std::uint64_t firstWritten;
    std::uint64_t endFrame;
    DemoWindow* window = nullptr;
    int runCount = 0;
    bool stoppedAtEnd = false;
    bool stoppedByInterrupt = false;
    bool escapeSent = false;
};
