#pragma once

#include <cstdint>
#include <vector>

namespace platform {

class SoundStream;

// Which stream each channel plays and what the channels add up to. Frames are counted on the
// device's timeline; a stream on a channel plays its samples from where it stood when it was
// put there. The main thread's calls and mix() must never overlap: the device's lock keeps them
// apart.
class SoundMixer {
public:
    explicit SoundMixer(int channelCount);

    // Makes stream (null for none) the one heard on channel, from its own position, starting at
    // the device frame nextFrame. A stream plays on one channel at most; the stream it replaces,
    // or that it leaves, keeps the position it got to. Unknown channels are ignored.
    void play(int channel, SoundStream* stream, std::uint64_t nextFrame);
    // Moves a stream to frame (clamped to its end); on a channel, it plays on from there.
    static void seek(SoundStream& stream, std::uint32_t frame, std::uint64_t nextFrame);
    // The stream frame heard while the device hears heardFrame. It stands still until the
    // samples of the current run reach the listener and stops at the end.
    static std::uint32_t heardPosition(const SoundStream& stream, std::uint64_t heardFrame);
    // The channels go on on another device: each stream playing resumes from what was heard of
    // it (heardFrame on the old device's timeline) at the new device's nextFrame. What the old
    // device had taken but not yet played is mixed again.
    void moveToDevice(std::uint64_t heardFrame, std::uint64_t nextFrame);

    // Sums the channels into frames interleaved stereo frames starting at device frame
    // firstFrame, saturating. Copies only: the audio thread calls it.
    void mix(std::int16_t* output, std::uint32_t frames, std::uint64_t firstFrame) const;

    // For outputs that play the streams themselves instead of mixing them (the browser's).
    int channelCount() const { return static_cast<int>(channels.size()); }
    const SoundStream* channelStream(int channel) const { return channels[channel]; }

private:
    void detach(SoundStream& stream, std::uint64_t nextFrame);

    std::vector<SoundStream*> channels;
};

} // namespace platform
