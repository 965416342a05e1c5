#pragma once

#include <cstdint>

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

} // namespace platform
