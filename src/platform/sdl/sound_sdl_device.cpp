#include "platform/sdl/sound_sdl_device.h"

#include "platform/fatal_exit.h"
#include "platform/sound_mixer.h"

#include <SDL.h>
#include <algorithm>
#include <array>

namespace platform {
namespace {

constexpr Uint16 bufferFrames = 1024;

// Devices the fatal path must close: it runs before any destructor could.
constexpr std::size_t maximumOpenDevices = 8;
constinit std::array<SdlSoundDevice*, maximumOpenDevices> openDevices{};
constinit std::size_t openDeviceCount = 0;

void closeOpenDevices() {
    while (openDeviceCount > 0) {
        openDevices[openDeviceCount - 1]->close();
    }
}

bool remember(SdlSoundDevice* device) {
    if (openDeviceCount == maximumOpenDevices) {
        return false;
    }
    if (openDeviceCount == 0) {
        registerTeardown(closeOpenDevices);
    }
    openDevices[openDeviceCount++] = device;
    return true;
}

void forget(SdlSoundDevice* device) {
    const auto end = openDevices.begin() + static_cast<std::ptrdiff_t>(openDeviceCount);
    const auto found = std::find(openDevices.begin(), end, device);
    if (found == end) {
        return;
    }
    std::copy(found + 1, end, found);
    if (--openDeviceCount == 0) {
        unregisterTeardown(closeOpenDevices);
    }
}

} // namespace

std::unique_ptr<SoundDevice> openDefaultSoundDevice(const SoundMixer& mixer, int rate,
                                                    std::string& reason) {
    auto device = std::make_unique<SdlSoundDevice>(mixer);
    if (!device->open(rate, reason)) {
        return nullptr;
    }
    return device;
}

SdlSoundDevice::SdlSoundDevice(const SoundMixer& soundMixer) : mixer(soundMixer) {}

SdlSoundDevice::~SdlSoundDevice() {
    close();
}

bool SdlSoundDevice::open(int mixRate, std::string& reason) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        reason = SDL_GetError();
        return false;
    }
    SDL_AudioSpec wanted{};
    wanted.freq = mixRate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    wanted.samples = bufferFrames;
    wanted.callback = fill;
    wanted.userdata = this;
    SDL_AudioSpec obtained{};
    // No changes allowed: SDL converts to whatever the hardware takes, after our callback.
    deviceId = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (deviceId == 0 || !remember(this)) {
        reason = deviceId == 0 ? SDL_GetError() : "too many audio devices open";
        if (deviceId != 0) {
            SDL_CloseAudioDevice(deviceId);
            deviceId = 0;
        }
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    // SDL does not tell how much waits in the driver ahead of a new buffer; one buffer is the
    // usual depth of its double buffering.
    clock = std::make_unique<HeardClock>(mixRate, obtained.samples);
    SDL_PauseAudioDevice(deviceId, 0);
    return true;
}

void SdlSoundDevice::close() {
    if (deviceId == 0) {
        return;
    }
    forget(this);
    // Returns once the callback has finished for good.
    SDL_CloseAudioDevice(deviceId);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    deviceId = 0;
}

void SdlSoundDevice::lock() {
    if (deviceId != 0) {
        SDL_LockAudioDevice(deviceId);
    }
}

void SdlSoundDevice::unlock() {
    if (deviceId != 0) {
        SDL_UnlockAudioDevice(deviceId);
    }
}

std::uint64_t SdlSoundDevice::heardFrame() {
    return clock ? clock->heardFrame(std::chrono::steady_clock::now()) : 0;
}

void SdlSoundDevice::fill(void* device, std::uint8_t* stream, int length) {
    auto& self = *static_cast<SdlSoundDevice*>(device);
    const auto frames = static_cast<std::uint32_t>(length) / (2 * sizeof(std::int16_t));
    self.mixer.mix(reinterpret_cast<std::int16_t*>(stream), frames, self.clock->framesTaken());
    self.clock->bufferTaken(frames, std::chrono::steady_clock::now());
}

} // namespace platform
