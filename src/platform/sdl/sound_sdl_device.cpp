#include "platform/sdl/sound_sdl_device.h"

#include "platform/fatal_exit.h"
#include "platform/sound_mixer.h"

#include <SDL.h>
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <future>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

// SDL's audio driver is started and stopped here alone, with SDL_AudioInit and SDL_AudioQuit
// rather than SDL's subsystem counts, which are not thread-safe: a sound server that does not
// answer blocks the driver's start as it blocks an opening, so both run on the opening's thread.
// The main thread counts who needs the driver: every opening until its device is taken, every
// device, and every close that has not returned.
namespace platform {
namespace {

constexpr Uint16 bufferFrames = 1024;
// A close that has not returned by then is left behind: SDL's audio thread of that device waits
// for a sound server that may never answer.
constexpr std::chrono::milliseconds closePatience{250};

// SDL keeps its error text per thread, and only the threads it starts give theirs back by
// themselves.
struct SdlThreadData {
    SdlThreadData() = default;
    ~SdlThreadData() { SDL_TLSCleanup(); }
    SdlThreadData(const SdlThreadData&) = delete;
    SdlThreadData& operator=(const SdlThreadData&) = delete;
};

// Main thread only.
int driverUsers = 0;

void useDriver() {
    ++driverUsers;
}

void stopUsingDriver() {
    if (--driverUsers == 0) {
        SDL_AudioQuit();
    }
}

// Held by the thread starting the driver, so another opening never finds it half started.
std::mutex driverStart;

bool startDriver(std::string& reason) {
    const std::lock_guard lock(driverStart);
    if (SDL_GetCurrentAudioDriver() == nullptr && SDL_AudioInit(nullptr) != 0) {
        reason = SDL_GetError();
        return false;
    }
    return true;
}

// Devices the fatal path must close: it runs before any destructor could.
constinit std::vector<SdlSoundDevice*> openDevices;

void closeOpenDevices() {
    while (!openDevices.empty()) {
        openDevices.back()->close();
    }
}

void remember(SdlSoundDevice* device) {
    if (openDevices.empty()) {
        registerTeardown(closeOpenDevices);
    }
    openDevices.push_back(device);
}

void forget(SdlSoundDevice* device) {
    std::erase(openDevices, device);
    if (openDevices.empty()) {
        unregisterTeardown(closeOpenDevices);
    }
}

// Closes left behind that may still return. Each keeps the driver in use until then, so SDL never
// joins a hanging device thread when the driver stops.
constinit std::vector<std::shared_ptr<std::atomic<bool>>> unfinishedCloses;

void releaseFinishedCloses() {
    for (auto close = unfinishedCloses.begin(); close != unfinishedCloses.end();) {
        if (**close) {
            stopUsingDriver();
            close = unfinishedCloses.erase(close);
        } else {
            ++close;
        }
    }
}

// The device must be paused already, so that its callback never runs again.
void closeAudioDevice(SDL_AudioDeviceID deviceId) {
    releaseFinishedCloses();
    auto closed = std::make_shared<std::atomic<bool>>(false);
    std::promise<void> returned;
    std::future<void> hasReturned = returned.get_future();
    std::thread([deviceId, closed, returned = std::move(returned)]() mutable {
        const SdlThreadData threadData;
        SDL_CloseAudioDevice(deviceId);
        *closed = true;
        returned.set_value();
    }).detach();
    if (hasReturned.wait_for(closePatience) == std::future_status::ready) {
        stopUsingDriver();
    } else {
        unfinishedCloses.push_back(std::move(closed));
    }
}

// One attempt to open the default output, shared by the opening and its thread.
struct OpenAttempt {
    std::mutex mutex;
    std::condition_variable changed;
    bool finished = false;
    bool abandoned = false;
    SDL_AudioDeviceID deviceId = 0;
    std::string reason;
    std::unique_ptr<SdlFeed> feed = std::make_unique<SdlFeed>();
};

// The SDL call that opens the default output, or the driver's reason.
SDL_AudioDeviceID openDevice(int rate, SdlFeed* feed, SDL_AudioSpec& obtained,
                             std::string& reason) {
    if (!startDriver(reason)) {
        return 0;
    }
    SDL_AudioSpec wanted{};
    wanted.freq = rate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    wanted.samples = bufferFrames;
    wanted.callback = SdlSoundDevice::fill;
    wanted.userdata = feed;
    // No changes allowed: SDL converts to whatever the hardware takes, after our callback. The
    // device opens paused, so the callback waits for the mixer.
    const SDL_AudioDeviceID deviceId = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (deviceId == 0) {
        reason = SDL_GetError();
    }
    return deviceId;
}

void openOnThisThread(const std::shared_ptr<OpenAttempt>& attempt, int rate) {
    const SdlThreadData threadData;
    SDL_AudioSpec obtained{};
    std::string reason;
    const SDL_AudioDeviceID deviceId = openDevice(rate, attempt->feed.get(), obtained, reason);
    std::unique_lock lock(attempt->mutex);
    if (attempt->abandoned) {
        lock.unlock();
        // The driver stays in use for good: only the main thread may stop it.
        if (deviceId != 0) {
            SDL_CloseAudioDevice(deviceId);
        }
        return;
    }
    attempt->deviceId = deviceId;
    if (deviceId == 0) {
        attempt->reason = reason;
    } else {
        // SDL does not tell how much waits in the driver ahead of a new buffer; one buffer is
        // the usual depth of its double buffering.
        attempt->feed->clock = std::make_unique<HeardClock>(rate, obtained.samples);
        attempt->feed->startFrames = 2u * obtained.samples;
    }
    attempt->finished = true;
    attempt->changed.notify_all();
}

class SdlDeviceOpening final : public SoundDeviceOpening {
public:
    explicit SdlDeviceOpening(std::shared_ptr<OpenAttempt> openAttempt)
        : attempt(std::move(openAttempt)) {}
    ~SdlDeviceOpening() override;
    SdlDeviceOpening(const SdlDeviceOpening&) = delete;
    SdlDeviceOpening& operator=(const SdlDeviceOpening&) = delete;

    bool finished(std::chrono::milliseconds patience) override {
        std::unique_lock lock(attempt->mutex);
        return attempt->changed.wait_for(lock, patience, [this] { return attempt->finished; });
    }

    std::unique_ptr<SoundDevice> take(const SoundMixer& mixer, std::string& reason) override;

private:
    void stopUsing() {
        if (std::exchange(usesDriver, false)) {
            stopUsingDriver();
        }
    }

    std::shared_ptr<OpenAttempt> attempt;
    bool usesDriver = true;
};

SdlDeviceOpening::~SdlDeviceOpening() {
    std::unique_lock lock(attempt->mutex);
    if (!attempt->finished) {
        // Left to its thread, with the driver in use.
        attempt->abandoned = true;
        return;
    }
    const SDL_AudioDeviceID deviceId = std::exchange(attempt->deviceId, 0);
    lock.unlock();
    if (deviceId != 0) {
        // Never started. The close stops using the driver once it returns.
        usesDriver = false;
        closeAudioDevice(deviceId);
    }
    stopUsing();
}

std::unique_ptr<SoundDevice> SdlDeviceOpening::take(const SoundMixer& mixer, std::string& reason) {
    const std::lock_guard lock(attempt->mutex);
    if (attempt->deviceId == 0) {
        reason = attempt->reason;
        stopUsing();
        return nullptr;
    }
    attempt->feed->mixer = &mixer;
    // The device uses the driver from here on.
    usesDriver = false;
    return std::make_unique<SdlSoundDevice>(std::exchange(attempt->deviceId, 0),
                                            std::move(attempt->feed));
}

} // namespace

std::unique_ptr<SoundDeviceOpening> openDefaultSoundDevice(int rate) {
    releaseFinishedCloses();
    useDriver();
    auto attempt = std::make_shared<OpenAttempt>();
    std::thread(openOnThisThread, attempt, rate).detach();
    return std::make_unique<SdlDeviceOpening>(std::move(attempt));
}

SdlSoundDevice::SdlSoundDevice(std::uint32_t openedId, std::unique_ptr<SdlFeed> mixingFeed)
    : deviceId(openedId), feed(std::move(mixingFeed)) {
    remember(this);
}

SdlSoundDevice::~SdlSoundDevice() {
    close();
}

void SdlSoundDevice::close() {
    if (deviceId == 0) {
        return;
    }
    forget(this);
    // From here on the callback never runs, so the feed is ours again.
    SDL_PauseAudioDevice(deviceId, 1);
    closeAudioDevice(std::exchange(deviceId, 0));
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
    return feed->clock->heardFrame(std::chrono::steady_clock::now());
}

void SdlSoundDevice::start() {
    SDL_PauseAudioDevice(deviceId, 0);
}

std::string SdlSoundDevice::failure() {
    // A device SDL has lost reads as stopped, whether or not it reports the removal as an event.
    if (SDL_GetAudioDeviceStatus(deviceId) == SDL_AUDIO_STOPPED) {
        return "it was removed";
    }
    if (stallWatch.stalled(feed->clock->framesTaken(), std::chrono::steady_clock::now())) {
        return "it has stopped taking sound";
    }
    return {};
}

void SdlSoundDevice::fill(void* data, std::uint8_t* stream, int length) {
    SdlFeed& feed = *static_cast<SdlFeed*>(data);
    const auto frames = static_cast<std::uint32_t>(length) / (2 * sizeof(std::int16_t));
    feed.mixer->mix(reinterpret_cast<std::int16_t*>(stream), frames, feed.clock->framesTaken());
    feed.clock->bufferTaken(frames, std::chrono::steady_clock::now());
}

} // namespace platform
