#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

namespace platform {

class SoundMixer;
class SoundStream;

// Where the mixed sound goes, and the clock of what has been heard. Frames are stereo sample
// pairs at the mix rate, counted from the device's opening. Destroying a device never waits on
// one that has stopped answering.
class SoundDevice {
public:
    virtual ~SoundDevice() = default;

    // Held while the main thread changes what plays; the device mixes only under it.
    virtual void lock() = 0;
    virtual void unlock() = 0;
    // The device frame that the next mixed sample becomes. Ask with the lock held.
    virtual std::uint64_t nextFrame() = 0;
    // The device frame reaching the listener now, never ahead of nextFrame and never going back.
    // Ask with the lock held.
    virtual std::uint64_t heardFrame() = 0;
    // Readies a stream to be heard at once when it is put on a channel, before the frame its run
    // starts at is taken: an output that must first copy the samples would otherwise count the
    // run, and the stream's position, from before anything of it could be heard.
    virtual void prepare(const SoundStream&) {}
    // Begins mixing. A device opened by the backend mixes nothing before, so its frames can be
    // lined up with the streams first.
    virtual void start() {}
    // Empty while the device plays; otherwise why it no longer does (it was removed, or it has
    // stopped taking sound). Ask with the lock held, now and then while it plays.
    virtual std::string failure() { return {}; }
};

// An opening of the backend's default output. Opening can block for as long as a sound server
// does not answer, so it goes on apart from the caller, who waits for it only as long as it
// chooses. Destroying an opening that has not finished leaves it to finish by itself and close
// what it opened.
class SoundDeviceOpening {
public:
    virtual ~SoundDeviceOpening() = default;

    // Waits at most patience for the opening to end; true once it has.
    virtual bool finished(std::chrono::milliseconds patience) = 0;
    // Once finished, and only once: the device for 16-bit stereo, mixing from mixer once
    // started; or null with the backend's reason.
    virtual std::unique_ptr<SoundDevice> take(const SoundMixer& mixer, std::string& reason) = 0;
};

// Begins opening the backend's default audio output at rate.
std::unique_ptr<SoundDeviceOpening> openDefaultSoundDevice(int rate);

} // namespace platform
