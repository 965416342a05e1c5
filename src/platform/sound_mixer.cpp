#include "platform/sound_mixer.h"

#include "platform/sound_stream.h"

#include <algorithm>
#include <cstring>

namespace platform {
namespace {

// Where the stream's next mixed sample comes from when the device's next frame is nextFrame.
std::uint64_t cursor(const SoundStream& stream, std::uint64_t nextFrame) {
    const StreamPlayback& playback = stream.playback;
    const std::uint64_t played = nextFrame - playback.runStart;
    return std::min<std::uint64_t>(playback.position + played, stream.frameCount());
}

} // namespace

SoundMixer::SoundMixer(int channelCount)
    : channels(static_cast<std::size_t>(std::max(channelCount, 0)), nullptr) {}

void SoundMixer::play(int channel, SoundStream* stream, std::uint64_t nextFrame) {
    if (channel < 0 || static_cast<std::size_t>(channel) >= channels.size()) {
        return;
    }
    // Already the one heard there: it simply plays on, without a seam in its position.
    if (channels[channel] == stream) {
        return;
    }
    if (channels[channel]) {
        detach(*channels[channel], nextFrame);
    }
    if (!stream) {
        return;
    }
    if (stream->playback.channel >= 0) {
        detach(*stream, nextFrame);
    }
    stream->playback.channel = channel;
    stream->playback.runStart = nextFrame;
    channels[channel] = stream;
}

void SoundMixer::seek(SoundStream& stream, std::uint32_t frame, std::uint64_t nextFrame) {
    stream.playback.position = std::min(frame, stream.frameCount());
    stream.playback.runStart = nextFrame;
}

std::uint32_t SoundMixer::heardPosition(const SoundStream& stream, std::uint64_t heardFrame) {
    const StreamPlayback& playback = stream.playback;
    if (playback.channel < 0) {
        return playback.position;
    }
    const std::uint64_t heard = heardFrame > playback.runStart ? heardFrame - playback.runStart : 0;
    return static_cast<std::uint32_t>(
        std::min<std::uint64_t>(playback.position + heard, stream.frameCount()));
}

void SoundMixer::moveToDevice(std::uint64_t heardFrame, std::uint64_t nextFrame) {
    for (SoundStream* stream : channels) {
        if (stream) {
            stream->playback.position = heardPosition(*stream, heardFrame);
            stream->playback.runStart = nextFrame;
        }
    }
}

void SoundMixer::mix(std::int16_t* output, std::uint32_t frames, std::uint64_t firstFrame) const {
    std::memset(output, 0, static_cast<std::size_t>(frames) * 2 * sizeof(std::int16_t));
    for (const SoundStream* stream : channels) {
        if (!stream) {
            continue;
        }
        const std::uint64_t from = cursor(*stream, firstFrame);
        const auto count =
            static_cast<std::size_t>(std::min<std::uint64_t>(frames, stream->frameCount() - from));
        const std::int16_t* source = stream->samples() + from * 2;
        for (std::size_t i = 0; i < count * 2; ++i) {
            const int sum = output[i] + source[i];
            output[i] = static_cast<std::int16_t>(std::clamp(sum, -32768, 32767));
        }
    }
}

void SoundMixer::detach(SoundStream& stream, std::uint64_t nextFrame) {
    stream.playback.position = static_cast<std::uint32_t>(cursor(stream, nextFrame));
    channels[stream.playback.channel] = nullptr;
    stream.playback.channel = -1;
}

} // namespace platform
