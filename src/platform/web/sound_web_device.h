#pragma once

#include "platform/sound_device.h"

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

class SoundStream;

// The default audio output in the browser. The page's thread is often busy for a whole frame of
// software rendering, too long to feed a Web Audio processing node in time, so the audio context
// plays each stream itself from a buffer of its samples, made when the stream is prepared:
// whenever the main thread has changed what plays (at unlock), every channel that changed is
// started again from its stream's position. The context's clock counts the device frames, so
// positions follow exactly what it plays.
class WebSoundDevice final : public SoundDevice {
public:
    explicit WebSoundDevice(const SoundMixer& mixer);
    ~WebSoundDevice() override;
    WebSoundDevice(const WebSoundDevice&) = delete;
    WebSoundDevice& operator=(const WebSoundDevice&) = delete;

    // Connects to the page's audio context, which must run at rate. False with the reason.
    bool open(int rate, std::string& reason);
    // Idempotent; the fatal path calls it for a device still open.
    void close();

    void lock() override {}
    void unlock() override;
    std::uint64_t nextFrame() override { return contextFrame(); }
    std::uint64_t heardFrame() override { return contextFrame(); }
    void prepare(const SoundStream& stream) override;

private:
    // What a channel was last started with.
    struct ChannelRun {
        const SoundStream* stream = nullptr;
        std::uint32_t position = 0;
        std::uint64_t runStart = 0;

        bool operator==(const ChannelRun&) const = default;
    };

    std::uint64_t contextFrame();

    const SoundMixer& mixer;
    int rate = 0;
    std::uint64_t lastFrame = 0;
    std::vector<ChannelRun> runs;
    bool opened = false;
};

} // namespace platform
