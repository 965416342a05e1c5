#include "platform/web/sound_web_device.h"

#include "platform/fatal_exit.h"
#include "platform/sound_mixer.h"
#include "platform/sound_stream.h"

#include <algorithm>
#include <emscripten.h>

namespace platform {
namespace {

// The one device the page plays, for the fatal path, which runs before any destructor could.
WebSoundDevice* openDevice = nullptr;

void closeOpenDevice() {
    if (openDevice != nullptr) {
        openDevice->close();
    }
}

// The page made the audio context, so it could ask the user for sound before the program ran.
EM_JS(int, connectOutput, (int rate, char* reason, int size), {
    const context = Module.lumivahaPage.audioContext;
    if (!context) {
        stringToUTF8("this browser has no Web Audio", reason, size);
        return 0;
    }
    if (context.sampleRate != rate) {
        stringToUTF8("the audio context runs at " + context.sampleRate + " Hz, not " + rate, reason,
                     size);
        return 0;
    }
    Module.lumivahaSound = {buffers : new Map(), sources : []};
    return 1;
});

EM_JS(double, contextSeconds, (), { return Module.lumivahaPage.audioContext.currentTime; });

EM_JS(void, stopChannel, (int channel), {
    const source = Module.lumivahaSound.sources[channel];
    if (source) {
        source.stop();
        source.disconnect();
        Module.lumivahaSound.sources[channel] = null;
    }
});

// The stream's samples become an audio buffer once; the key is the stream.
EM_JS(void, prepareBuffer, (const void* stream, const std::int16_t* samples, int frames), {
    const sound = Module.lumivahaSound;
    if (sound.buffers.has(stream)) {
        return;
    }
    const context = Module.lumivahaPage.audioContext;
    const buffer = context.createBuffer(2, frames, context.sampleRate);
    const left = buffer.getChannelData(0);
    const right = buffer.getChannelData(1);
    const first = samples >> 1;
    for (let i = 0; i < frames; ++i) {
        left[i] = HEAP16[first + 2 * i] / 32768;
        right[i] = HEAP16[first + 2 * i + 1] / 32768;
    }
    sound.buffers.set(stream, buffer);
});

EM_JS(void, startChannel, (int channel, const void* stream, int offset), {
    const sound = Module.lumivahaSound;
    const context = Module.lumivahaPage.audioContext;
    const source = context.createBufferSource();
    source.buffer = sound.buffers.get(stream);
    source.connect(context.destination);
    source.start(0, offset / context.sampleRate);
    sound.sources[channel] = source;
});

EM_JS(void, disconnectOutput, (), {
    const sound = Module.lumivahaSound;
    for (const source of sound.sources) {
        if (source) {
            source.stop();
            source.disconnect();
        }
    }
    Module.lumivahaSound = null;
});

} // namespace

WebSoundDevice::WebSoundDevice(const SoundMixer& soundMixer) : mixer(soundMixer) {}

WebSoundDevice::~WebSoundDevice() {
    close();
}

bool WebSoundDevice::open(int mixRate, std::string& reason) {
    if (openDevice != nullptr) {
        reason = "another output is playing";
        return false;
    }
    char text[256] = {};
    if (connectOutput(mixRate, text, sizeof text) == 0) {
        reason = text;
        return false;
    }
    rate = mixRate;
    runs.assign(static_cast<std::size_t>(mixer.channelCount()), ChannelRun{});
    opened = true;
    openDevice = this;
    registerTeardown(closeOpenDevice);
    return true;
}

void WebSoundDevice::close() {
    if (!opened) {
        return;
    }
    disconnectOutput();
    opened = false;
    openDevice = nullptr;
    unregisterTeardown(closeOpenDevice);
}

void WebSoundDevice::unlock() {
    if (!opened) {
        return;
    }
    for (int channel = 0; channel < mixer.channelCount(); ++channel) {
        const SoundStream* stream = mixer.channelStream(channel);
        ChannelRun run;
        if (stream != nullptr) {
            run = {stream, stream->playback.position, stream->playback.runStart};
        }
        ChannelRun& last = runs[static_cast<std::size_t>(channel)];
        if (run == last) {
            continue;
        }
        last = run;
        stopChannel(channel);
        if (stream != nullptr) {
            // A stream not prepared before its run started plays from where it stands by now.
            prepare(*stream);
            const std::uint32_t offset = SoundMixer::heardPosition(*stream, contextFrame());
            startChannel(channel, stream, static_cast<int>(offset));
        }
    }
}

// Copying the samples takes long enough to be heard: done before the run starts, it delays the
// stream's start instead of moving its position ahead of what plays.
void WebSoundDevice::prepare(const SoundStream& stream) {
    if (opened) {
        prepareBuffer(&stream, stream.samples(), static_cast<int>(stream.frameCount()));
    }
}

// Never going back, as the sound system asks of every device.
std::uint64_t WebSoundDevice::contextFrame() {
    if (opened) {
        lastFrame = std::max(lastFrame, static_cast<std::uint64_t>(contextSeconds() * rate));
    }
    return lastFrame;
}

// The page's audio context is there or not: the opening has finished as soon as it begins.
class WebDeviceOpening final : public SoundDeviceOpening {
public:
    explicit WebDeviceOpening(int mixRate) : rate(mixRate) {}

    bool finished(std::chrono::milliseconds) override { return true; }
    std::unique_ptr<SoundDevice> take(const SoundMixer& mixer, std::string& reason) override {
        auto device = std::make_unique<WebSoundDevice>(mixer);
        if (!device->open(rate, reason)) {
            return nullptr;
        }
        return device;
    }

private:
    int rate;
};

std::unique_ptr<SoundDeviceOpening> openDefaultSoundDevice(int rate) {
    return std::make_unique<WebDeviceOpening>(rate);
}

} // namespace platform
