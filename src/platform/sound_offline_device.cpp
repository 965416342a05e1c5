#include "platform/sound_offline_device.h"

#include "platform/sound_mixer.h"

namespace platform {

OfflineSoundDevice::OfflineSoundDevice(const SoundMixer& soundMixer) : mixer(soundMixer) {}

void OfflineSoundDevice::advance(std::uint32_t frames) {
    if (frames == 0) {
        return; // an empty recording has no storage to mix into
    }
    const std::size_t start = mixed.size();
    mixed.resize(start + static_cast<std::size_t>(frames) * 2);
    mixer.mix(mixed.data() + start, frames, framesMixed);
    framesMixed += frames;
}

} // namespace platform
