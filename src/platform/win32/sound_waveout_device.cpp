#include "platform/win32/sound_waveout_device.h"

#include "platform/fatal_exit.h"
#include "platform/sound_mixer.h"
#include "platform/win32/multimedia_error.h"

#include <algorithm>
#include <array>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>
#include <windows.h>
// winmm's header builds on windows.h.
#include <mmsystem.h>

namespace platform {
namespace {

// 186 ms in all: enough to keep a driver's own buffer fed (Wine's waveOut holds 100 ms), few
// enough that a change to what plays is heard within a fifth of a second.
constexpr std::size_t bufferCount = 4;
constexpr std::uint32_t bufferFrames = 2048;
constexpr std::uint32_t bytesPerFrame = 2 * sizeof(std::int16_t);
// A close that has not ended by then is left to its thread: a driver may never return.
constexpr std::chrono::milliseconds closePatience{250};

} // namespace

struct WaveOutLine {
    // The device's lock, which also guards every field below but the buffers in the driver's
    // hands.
    std::mutex mutex;
    std::condition_variable changed;
    // Signalled by waveOut as buffers come back, and by the main thread to wake the player.
    HANDLE wakeUp = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    bool openingEnded = false;
    HWAVEOUT output = nullptr; // set when the opening ended well
    std::string openingFailure;
    const SoundMixer* mixer = nullptr;
    bool started = false;
    // The output is to be closed and the thread to end; then they have.
    bool leaving = false;
    bool closed = false;
    std::uint64_t framesTaken = 0;
    std::string failure;
    // What waveOut last said it had played, in its own unit, and all it has played in that unit.
    DWORD lastPosition = 0;
    std::uint64_t position = 0;
    std::uint64_t heard = 0;
    std::array<WAVEHDR, bufferCount> headers{};
    std::vector<std::int16_t> samples = std::vector<std::int16_t>(bufferCount * bufferFrames * 2);
};

namespace {

// With the line's lock held. Once the thread has closed, nobody signals its event again.
void leave(WaveOutLine& line) {
    line.leaving = true;
    if (!line.closed) {
        SetEvent(line.wakeUp);
    }
}

std::string lossReason(MMRESULT result) {
    if (result == MMSYSERR_NODRIVER || result == MMSYSERR_BADDEVICEID) {
        return "it was removed";
    }
    return "it failed: " + multimediaErrorText(result);
}

// The driver marks a buffer done from a thread of its own.
bool cameBack(const WAVEHDR& header) {
    return (static_cast<const volatile DWORD&>(header.dwFlags) & WHDR_DONE) != 0;
}

void closeOutput(HWAVEOUT output, std::array<WAVEHDR, bufferCount>& headers) {
    waveOutReset(output);
    for (WAVEHDR& header : headers) {
        waveOutUnprepareHeader(output, &header, sizeof header);
    }
    waveOutClose(output);
}

HWAVEOUT openOutput(WaveOutLine& line, int rate, std::string& reason) {
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 2;
    format.nSamplesPerSec = static_cast<DWORD>(rate);
    format.wBitsPerSample = 16;
    format.nBlockAlign = bytesPerFrame;
    format.nAvgBytesPerSec = format.nSamplesPerSec * bytesPerFrame;
    HWAVEOUT output = nullptr;
    MMRESULT result = waveOutOpen(&output, WAVE_MAPPER, &format,
                                  reinterpret_cast<DWORD_PTR>(line.wakeUp), 0, CALLBACK_EVENT);
    if (result != MMSYSERR_NOERROR) {
        reason = multimediaErrorText(result);
        return nullptr;
    }
    for (std::size_t i = 0; i < bufferCount && result == MMSYSERR_NOERROR; ++i) {
        WAVEHDR& header = line.headers[i];
        header.lpData = reinterpret_cast<LPSTR>(line.samples.data() + i * bufferFrames * 2);
        header.dwBufferLength = bufferFrames * bytesPerFrame;
        result = waveOutPrepareHeader(output, &header, sizeof header);
        // Free to fill, as a buffer that came back is.
        header.dwFlags |= WHDR_DONE;
    }
    if (result != MMSYSERR_NOERROR) {
        reason = multimediaErrorText(result);
        closeOutput(output, line.headers);
        return nullptr;
    }
    return output;
}

// Mixes into each buffer that came back and queues it again, in the order they went out. False
// once the device is closing.
bool refillReturned(WaveOutLine& line, std::size_t& next) {
    while (true) {
        WAVEHDR& header = line.headers[next];
        {
            const std::lock_guard lock(line.mutex);
            if (line.leaving) {
                return false;
            }
            if (!line.started || !line.failure.empty() || !cameBack(header)) {
                return true;
            }
            line.mixer->mix(reinterpret_cast<std::int16_t*>(header.lpData), bufferFrames,
                            line.framesTaken);
            line.framesTaken += bufferFrames;
        }
        header.dwFlags &= ~static_cast<DWORD>(WHDR_DONE);
        const MMRESULT written = waveOutWrite(line.output, &header, sizeof header);
        if (written != MMSYSERR_NOERROR) {
            std::string reason = lossReason(written);
            const std::lock_guard lock(line.mutex);
            line.failure = std::move(reason);
            return true;
        }
        next = (next + 1) % bufferCount;
    }
}

void play(WaveOutLine& line) {
    std::size_t next = 0;
    while (refillReturned(line, next) &&
           WaitForSingleObject(line.wakeUp, INFINITE) == WAIT_OBJECT_0) {
    }
}

// The line's thread: it opens the output, plays it once started, and closes it when told to.
void runLine(const std::shared_ptr<WaveOutLine>& line, int rate) {
    // Refilling must not wait behind the drawing, which may run on the processor too.
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_HIGHEST);
    std::string reason;
    const HWAVEOUT output = openOutput(*line, rate, reason);
    {
        const std::lock_guard lock(line->mutex);
        line->output = output;
        line->openingFailure = reason;
        line->openingEnded = true;
        line->changed.notify_all();
    }
    if (output != nullptr) {
        play(*line);
        closeOutput(output, line->headers);
    }
    {
        const std::lock_guard lock(line->mutex);
        line->closed = true;
        line->changed.notify_all();
    }
    CloseHandle(line->wakeUp);
}

// Devices the fatal path must close: it runs before any destructor could.
constinit std::vector<WaveOutSoundDevice*> openDevices;

void closeOpenDevices() {
    while (!openDevices.empty()) {
        openDevices.back()->close();
    }
}

void remember(WaveOutSoundDevice* device) {
    if (openDevices.empty()) {
        registerTeardown(closeOpenDevices);
    }
    openDevices.push_back(device);
}

void forget(WaveOutSoundDevice* device) {
    std::erase(openDevices, device);
    if (openDevices.empty()) {
        unregisterTeardown(closeOpenDevices);
    }
}

class WaveOutDeviceOpening final : public SoundDeviceOpening {
public:
    explicit WaveOutDeviceOpening(std::shared_ptr<WaveOutLine> opening)
        : line(std::move(opening)) {}
    // An opening not taken leaves its thread to close what it opened.
    ~WaveOutDeviceOpening() override {
        if (line) {
            const std::lock_guard lock(line->mutex);
            leave(*line);
        }
    }
    WaveOutDeviceOpening(const WaveOutDeviceOpening&) = delete;
    WaveOutDeviceOpening& operator=(const WaveOutDeviceOpening&) = delete;

    bool finished(std::chrono::milliseconds patience) override {
        std::unique_lock lock(line->mutex);
        return line->changed.wait_for(lock, patience, [this] { return line->openingEnded; });
    }

    std::unique_ptr<SoundDevice> take(const SoundMixer& mixer, std::string& reason) override {
        {
            const std::lock_guard lock(line->mutex);
            if (line->output == nullptr) {
                reason = line->openingFailure;
                return nullptr;
            }
            line->mixer = &mixer;
        }
        return std::make_unique<WaveOutSoundDevice>(std::move(line));
    }

private:
    std::shared_ptr<WaveOutLine> line;
};

} // namespace

std::unique_ptr<SoundDeviceOpening> openDefaultSoundDevice(int rate) {
    auto line = std::make_shared<WaveOutLine>();
    std::thread(runLine, line, rate).detach();
    return std::make_unique<WaveOutDeviceOpening>(std::move(line));
}

WaveOutSoundDevice::WaveOutSoundDevice(std::shared_ptr<WaveOutLine> playing)
    : line(std::move(playing)), stallWatch(bufferCount * bufferFrames) {
    remember(this);
}

WaveOutSoundDevice::~WaveOutSoundDevice() {
    close();
}

void WaveOutSoundDevice::close() {
    if (!std::exchange(open, false)) {
        return;
    }
    forget(this);
    std::unique_lock lock(line->mutex);
    leave(*line);
    line->changed.wait_for(lock, closePatience, [this] { return line->closed; });
}

void WaveOutSoundDevice::lock() {
    line->mutex.lock();
}

void WaveOutSoundDevice::unlock() {
    line->mutex.unlock();
}

std::uint64_t WaveOutSoundDevice::nextFrame() {
    return line->framesTaken;
}

// Never ahead of what was mixed and never going back, whatever the driver says.
std::uint64_t WaveOutSoundDevice::heardFrame() {
    WaveOutLine& playing = *line;
    if (playing.leaving) {
        return playing.heard;
    }
    MMTIME time{};
    time.wType = TIME_SAMPLES;
    const MMRESULT result = waveOutGetPosition(playing.output, &time, sizeof time);
    if (result != MMSYSERR_NOERROR) {
        if (playing.failure.empty()) {
            playing.failure = lossReason(result);
        }
        return playing.heard;
    }
    // Drivers that cannot count samples count bytes.
    const bool inBytes = time.wType == TIME_BYTES;
    const DWORD reading = inBytes ? time.u.cb : time.u.sample;
    playing.position += static_cast<DWORD>(reading - playing.lastPosition);
    playing.lastPosition = reading;
    const std::uint64_t played = inBytes ? playing.position / bytesPerFrame : playing.position;
    playing.heard = std::max(playing.heard, std::min(played, playing.framesTaken));
    return playing.heard;
}

void WaveOutSoundDevice::start() {
    const std::lock_guard lock(line->mutex);
    line->started = true;
    SetEvent(line->wakeUp);
}

std::string WaveOutSoundDevice::failure() {
    if (!line->failure.empty()) {
        return line->failure;
    }
    if (stallWatch.stalled(line->framesTaken, std::chrono::steady_clock::now())) {
        return "it has stopped taking sound";
    }
    return {};
}

} // namespace platform
