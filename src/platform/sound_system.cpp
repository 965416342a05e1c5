#include "platform/sound_system.h"

#include "platform/fatal_exit.h"
#include "platform/sound_decoder.h"
#include "platform/sound_device.h"
#include "platform/sound_mixer.h"
#include "platform/sound_offline_device.h"
#include "platform/sound_silent_device.h"
#include "platform/sound_stream.h"
#include "platform/sound_wav_writer.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <string>

namespace platform {
namespace {

constexpr int lowestRate = 8000;
constexpr int highestRate = 192000;
constexpr int mostChannels = 256;

// A start-up waits this long for the audio device, then goes on without it.
constexpr std::chrono::seconds firstOpeningPatience{2};
// While the music is silent for want of a device, the default one is tried again this often.
constexpr std::chrono::milliseconds reopeningInterval{1500};

} // namespace

SoundSystem::SoundSystem() = default;

SoundSystem::~SoundSystem() {
    close();
}

bool SoundSystem::initialise(int mixRate, int channelCount, unsigned flags) {
    close();
    if (flags != 0 || mixRate < lowestRate || mixRate > highestRate || channelCount < 1 ||
        channelCount > mostChannels) {
        return false;
    }
    rate = mixRate;
    mixer = std::make_unique<SoundMixer>(channelCount);
    if (output == SoundOutput::offline) {
        auto offline = std::make_unique<OfflineSoundDevice>(*mixer);
        offlineDevice = offline.get();
        device = std::move(offline);
    } else {
        openAudioDevice();
    }
    return true;
}

SoundStream* SoundSystem::openStream(const char* fileName) {
    if (!mixer || !fileName) {
        return nullptr;
    }
    auto decoder = std::make_unique<SoundDecoder>();
    std::string reason;
    switch (decoder->open(fileName, rate, reason)) {
    case DecodeResult::missing:
        fatalExit(1, std::string("File ") + fileName + " not found!\n");
    case DecodeResult::corrupt:
        fatalExit(1, std::string("Cannot decode ") + fileName + ": " + reason + "\n");
    case DecodeResult::decoded:
        break;
    }
    streams.push_back(std::make_unique<SoundStream>(fileName, std::move(decoder)));
    return streams.back().get();
}

void SoundSystem::playStream(int channel, SoundStream* stream) {
    if (!mixer) {
        return;
    }
    SoundStream* owned = nullptr;
    if (stream) {
        owned = find(stream);
        if (!owned) {
            return;
        }
        // Before the audio thread can see it.
        owned->finishDecoding();
        device->prepare(*owned);
    }
    device->lock();
    mixer->play(channel, owned, device->nextFrame());
    device->unlock();
}

std::int32_t SoundSystem::streamPosition(const SoundStream* stream) {
    if (mixer && !offlineDevice) {
        watchAudioDevice();
    }
    SoundStream* owned = find(stream);
    if (!owned) {
        return 0;
    }
    owned->finishDecoding();
    device->lock();
    const std::uint32_t frame = SoundMixer::heardPosition(*owned, device->heardFrame());
    device->unlock();
    const std::uint64_t milliseconds = std::uint64_t{frame} * 1000 / static_cast<unsigned>(rate);
    return static_cast<std::int32_t>(
        std::min<std::uint64_t>(milliseconds, std::numeric_limits<std::int32_t>::max()));
}

void SoundSystem::setStreamPosition(SoundStream* stream, std::uint32_t milliseconds) {
    SoundStream* owned = find(stream);
    if (!owned) {
        return;
    }
    owned->finishDecoding();
    // Rounded up, so that reading the position back gives the same milliseconds.
    const std::uint64_t frame =
        (std::uint64_t{milliseconds} * static_cast<unsigned>(rate) + 999) / 1000;
    const auto clamped = static_cast<std::uint32_t>(
        std::min<std::uint64_t>(frame, std::numeric_limits<std::uint32_t>::max()));
    device->lock();
    SoundMixer::seek(*owned, clamped, device->nextFrame());
    device->unlock();
}

void SoundSystem::close() {
    opening.reset();
    silentStandIn = false;
    // The device goes first: its audio thread reads the streams.
    device.reset();
    offlineDevice = nullptr;
    streams.clear();
    mixer.reset();
    rate = 0;
}

// The silent device plays until the opening brings a device, or for good when none opens.
void SoundSystem::openAudioDevice() {
    device = std::make_unique<SilentSoundDevice>(rate);
    silentStandIn = true;
    opening = openDefaultSoundDevice(rate);
    std::string reason =
        "it has not answered for " + std::to_string(firstOpeningPatience.count()) + " s";
    if (!opening->finished(firstOpeningPatience) || !takeOpenedDevice(reason)) {
        std::fprintf(stderr, "Cannot open an audio device (%s): the music will be silent.\n",
                     reason.c_str());
    }
}

void SoundSystem::watchAudioDevice() {
    const auto now = std::chrono::steady_clock::now();
    if (!silentStandIn) {
        device->lock();
        const std::string failure = device->failure();
        device->unlock();
        if (!failure.empty()) {
            std::fprintf(stderr, "Lost the audio device (%s): the music goes on silently.\n",
                         failure.c_str());
            switchDevice(std::make_unique<SilentSoundDevice>(rate));
            silentStandIn = true;
            nextOpening = now + reopeningInterval;
        }
        return;
    }
    if (!opening) {
        if (now >= nextOpening) {
            opening = openDefaultSoundDevice(rate);
        }
        return;
    }
    std::string reason;
    if (opening->finished(std::chrono::milliseconds(0)) && takeOpenedDevice(reason)) {
        std::fprintf(stderr, "Opened an audio device: the music is heard again.\n");
    }
}

// The finished opening's device takes over from the silent one; without one, the next opening
// waits its turn.
bool SoundSystem::takeOpenedDevice(std::string& reason) {
    std::unique_ptr<SoundDevice> opened = opening->take(*mixer, reason);
    opening.reset();
    if (!opened) {
        nextOpening = std::chrono::steady_clock::now() + reopeningInterval;
        return false;
    }
    switchDevice(std::move(opened));
    silentStandIn = false;
    return true;
}

// The old device is gone before the new one starts, so the two never mix the streams at once.
void SoundSystem::switchDevice(std::unique_ptr<SoundDevice> next) {
    device->lock();
    const std::uint64_t heard = device->heardFrame();
    device->unlock();
    device.reset();
    next->lock();
    mixer->moveToDevice(heard, next->nextFrame());
    next->unlock();
    next->start();
    device = std::move(next);
}

SoundStream* SoundSystem::find(const SoundStream* stream) const {
    if (!stream) {
        return nullptr;
    }
    const auto found = std::find_if(streams.begin(), streams.end(),
                                    [stream](const auto& owned) { return owned.get() == stream; });
    return found == streams.end() ? nullptr : found->get();
}

SoundSystem& soundSystem() {
    static SoundSystem instance;
    return instance;
}

void selectSoundOutput(SoundSystem& system, SoundOutput output) {
    system.output = output;
}

void advanceOfflineSound(SoundSystem& system, std::uint32_t frames) {
    if (system.offlineDevice) {
        system.offlineDevice->advance(frames);
    }
}

std::span<const std::int16_t> offlineSoundRecording(const SoundSystem& system) {
    if (!system.offlineDevice) {
        return {};
    }
    return system.offlineDevice->recording();
}

int soundMixRate(const SoundSystem& system) {
    return system.rate;
}

bool writeOfflineSoundWav(const SoundSystem& system, const char* fileName) {
    std::string reason = "no offline sound output is open";
    const std::span<const std::int16_t> recording = offlineSoundRecording(system);
    if (!system.offlineDevice ||
        !writeWavFile(fileName, recording.data(), recording.size(), system.rate, reason)) {
        std::fprintf(stderr, "Cannot write %s: %s\n", fileName, reason.c_str());
        return false;
    }
    return true;
}

} // namespace platform
