#pragma once

#include "platform/sound_device.h"
#include "platform/sound_stall_watch.h"

#include <cstdint>
#include <memory>
#include <string>

namespace platform {

// What a waveOut device and the thread that plays it share; it lives as long as either.
struct WaveOutLine;

// The default audio output through winmm's waveOut. The thread that opened it keeps a few buffers
// queued, refilling each as the driver hands it back: it only mixes (copies) and counts, under the
// device's lock, so lock() waits at most for one buffer's copy. Positions are what waveOut says it
// has played.
class WaveOutSoundDevice final : public SoundDevice {
public:
    explicit WaveOutSoundDevice(std::shared_ptr<WaveOutLine> line);
    ~WaveOutSoundDevice() override;
    WaveOutSoundDevice(const WaveOutSoundDevice&) = delete;
    WaveOutSoundDevice& operator=(const WaveOutSoundDevice&) = delete;

    // Idempotent; the fatal path calls it for every device still open. Waits a moment for the
    // thread to close the output, never longer: a driver that hangs is left behind with it.
    void close();

    void lock() override;
    void unlock() override;
    std::uint64_t nextFrame() override;
    std::uint64_t heardFrame() override;
    void start() override;
    std::string failure() override;

private:
    std::shared_ptr<WaveOutLine> line;
    bool open = true;
    StallWatch stallWatch;
};

} // namespace platform
