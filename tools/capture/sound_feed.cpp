#include "sound_feed.h"

#include "platform/sound_system.h"

std::span<const std::int16_t> SoundFeed::mixFrame(std::uint64_t frame) {
    const auto count = static_cast<std::uint32_t>(rate.samplesAt(frame + 1, captureSampleRate) -
                                                  rate.samplesAt(frame, captureSampleRate));
    platform::SoundSystem& sound = platform::soundSystem();
    const std::size_t before = platform::offlineSoundRecording(sound).size();
    platform::advanceOfflineSound(sound, count);
    const std::span<const std::int16_t> recording = platform::offlineSoundRecording(sound);
    const std::size_t values = std::size_t{count} * 2;
    if (recording.size() != before + values) {
        silence.assign(values, 0);
        return silence;
    }
    return recording.last(values);
}
