#pragma once

#include "platform/sound_device.h"
#include "platform/sound_heard_clock.h"
#include "platform/sound_stall_watch.h"

#include <cstdint>
#include <memory>
#include <string>

namespace platform {

class SoundMixer;

// What SDL's audio thread reads in the callback. It is set before the device starts and stays
// where it is until the device has been paused for good, so the callback never sees it move.
struct SdlFeed {
    const SoundMixer* mixer = nullptr;
    std::unique_ptr<HeardClock> clock;
    // SDL fills a buffer before the driver asks for one, and another as the driver first asks.
    std::uint32_t startFrames = 0;
};

// The default audio output through SDL2, opened and paused. Its callback only mixes (copies) and
// counts; SDL holds the device's lock around it, so lock() waits at most for one buffer's copy.
class SdlSoundDevice final : public SoundDevice {
public:
    SdlSoundDevice(std::uint32_t deviceId, std::unique_ptr<SdlFeed> feed);
    ~SdlSoundDevice() override;
    SdlSoundDevice(const SdlSoundDevice&) = delete;
    SdlSoundDevice& operator=(const SdlSoundDevice&) = delete;

    // Idempotent; the fatal path calls it for every device still open. Never waits long on a
    // device that has stopped answering: that one is left behind.
    void close();

    void lock() override;
    void unlock() override;
    std::uint64_t nextFrame() override { return feed->clock->framesTaken(); }
    std::uint64_t heardFrame() override;
    void start() override;
    std::string failure() override;

    static void fill(void* feed, std::uint8_t* stream, int length);

private:
    std::uint32_t deviceId = 0;
    std::unique_ptr<SdlFeed> feed;
    StallWatch stallWatch{feed->startFrames};
};

} // namespace platform
