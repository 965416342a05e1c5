#pragma once

#include "platform/sound_device.h"

#include <cstdint>
#include <vector>

namespace platform {

class SoundMixer;

// Runs on the host's clock instead of a sound card: each advance mixes exactly the frames asked
// for and keeps them, so a rendered run has exactly the sound a listener would have heard.
class OfflineSoundDevice final : public SoundDevice {
public:
    explicit OfflineSoundDevice(const SoundMixer& mixer);

    void lock() override {}
    void unlock() override {}
    std::uint64_t nextFrame() override { return framesMixed; }
    std::uint64_t heardFrame() override { return framesMixed; }

    void advance(std::uint32_t frames);
    // Interleaved stereo, every frame mixed since the device opened.
    const std::vector<std::int16_t>& recording() const { return mixed; }

private:
    const SoundMixer& mixer;
    std::uint64_t framesMixed = 0;
    std::vector<std::int16_t> mixed;
};

} // namespace platform
