#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace platform {

// Where the mixed sound goes, and the clock of what has been heard. Frames are stereo sample
// pairs at the mix rate, counted from the device's opening.
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
};

class SoundMixer;

// The backend's default audio output, started for 16-bit stereo at rate and mixing from mixer.
// Null, with the backend's reason, when none opens.
std::unique_ptr<SoundDevice> openDefaultSoundDevice(const SoundMixer& mixer, int rate,
                                                    std::string& reason);

} // namespace platform
