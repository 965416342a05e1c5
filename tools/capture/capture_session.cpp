#include "capture_session.h"

#include "demo/demo_startup.h"
#include "demo/frame_driver.h"
#include "picture_readback.h"
#include "platform/messages.h"

#include <algorithm>
#include <limits>

namespace {

constexpr auto runningMilliseconds = static_cast<std::uint64_t>(runningTimeSeconds * 1000.0f);

// The frame in which a run that began at frame runStart quits by itself: the first whose demo
// time is past the running time, that is at least runningMilliseconds after the run's start.
std::uint64_t quittingFrame(const FrameRate& rate, std::uint64_t runStart) {
    const std::uint64_t due = rate.millisecondsAt(runStart) + runningMilliseconds;
    return rate.firstFrameAtOrAfter(ExactSeconds{due, 1000});
}

} // namespace

std::uint64_t expectedFrameCount(const CaptureOptions& options) {
    const FrameRate& rate = options.frameRate;
    std::uint64_t runStart = 0;
    for (const KeyPress& press : options.presses) {
        const std::uint64_t frame = rate.firstFrameAtOrAfter(press.time);
        if (frame > quittingFrame(rate, runStart)) {
            break;
        }
        if (press.virtualKey == platform::VK_ESCAPE) {
            return frame + 1;
        }
        if (press.virtualKey == platform::VK_F1) {
            runStart = frame + 1;
        }
    }
    const std::uint64_t demoEnd = quittingFrame(rate, runStart) + 1;
    return options.to ? std::min(demoEnd, rate.firstFrameAtOrAfter(*options.to)) : demoEnd;
}

CaptureSession::CaptureSession(const CaptureOptions& options, std::uint32_t seed,
                               CaptureOutputs& outputs, ProgressMeter& progress,
                               const volatile std::sig_atomic_t& interrupted)
    : rate(options.frameRate), clock(options.frameRate, seed), sound(options.frameRate),
      outputs(outputs), progress(progress), interrupted(interrupted),
      firstWritten(options.frameRate.firstFrameAtOrAfter(options.from)),
      endFrame(options.to ? options.frameRate.firstFrameAtOrAfter(*options.to)
                          : std::numeric_limits<std::uint64_t>::max()) {
    for (const KeyPress& press : options.presses) {
        keys.push_back({rate.firstFrameAtOrAfter(press.time), press.virtualKey});
    }
    clock.install();
}

void CaptureSession::start(DemoWindow& demoWindow, KeyState& keyState) {
    window = &demoWindow;
    ++runCount;
    startDemo(demoWindow, keyState);
}

void CaptureSession::update() {
    pressKeys(true);
    updateFrame();
    // Released only now: a key that went down and up before the update would go unseen.
    pressKeys(false);
}

void CaptureSession::draw() {
    const std::uint64_t frame = clock.frame();
    drawFrame();
    const bool written = frame >= firstWritten;
    if (written && outputs.wantsPictures()) {
        writeFrame();
    }
    const std::span<const std::int16_t> heard = sound.mixFrame(frame);
    if (written) {
        outputs.writeSound(heard);
    }
    clock.setFrame(frame + 1);
    progress.frameDone(frame + 1, rate.secondsAt(frame));
    if (mustStop()) {
        requestQuit(*window);
    }
}

void CaptureSession::pressKeys(bool down) {
    for (const ScheduledKey& key : keys) {
        if (key.frame == clock.frame()) {
            sendKey(*window, key.virtualKey, down);
            escapeSent = escapeSent || key.virtualKey == platform::VK_ESCAPE;
        }
    }
}

void CaptureSession::writeFrame() {
    std::vector<std::uint8_t> pixels = outputs.takeBuffer();
    readPicture(pixels);
    outputs.writePicture(std::move(pixels));
}

bool CaptureSession::mustStop() {
    if (interrupted) {
        stoppedByInterrupt = true;
        return true;
    }
    if (clock.frame() >= endFrame) {
        stoppedAtEnd = true;
        return true;
    }
    return outputs.failed();
}
