#pragma once

#include "platform/sound_device.h"
#include "platform/sound_heard_clock.h"

#include <cstdint>
#include <memory>
#include <string>

namespace platform {

class SoundMixer;

// The default audio output through SDL2. Its callback only mixes (copies) and counts; SDL holds
// the device's lock around it, so lock() waits at most for one buffer's copy.
class SdlSoundDevice final : public SoundDevice {
public:
    explicit SdlSoundDevice(const SoundMixer& mixer);
    ~SdlSoundDevice() override;
    SdlSoundDevice(const SdlSoundDevice&) = delete;
    SdlSoundDevice& operator=(const SdlSoundDevice&) = delete;

    // Opens the default output for 16-bit stereo at rate and starts it. False with SDL's reason.
    bool open(int rate, std::string& reason);
    // Idempotent; the fatal path calls it for every device still open.
    void close();

    void lock() override;
    void unlock() override;
    std::uint64_t nextFrame() override { return clock ? clock->framesTaken() : 0; }
    std::uint64_t heardFrame() override;

private:
    static void fill(void* device, std::uint8_t* stream, int length);

    const SoundMixer& mixer;
    std::uint32_t deviceId = 0;
    std::unique_ptr<HeardClock> clock;
};

} // namespace platform
