#pragma once

#include <cstdint>
#include <optional>
#include <span>

// What an MP3 file's first frame tells about the audio before it is decoded: its rate and, when
// an encoder tag (Xing or Info, with LAME's extension) is there, the exact length that was encoded.
namespace platform {

struct Mp3Layout {
    int sampleRate = 0;
    int channels = 0;
    // The first frame's bits per second (a VBR file's tag frame has one too); 0 for free format.
    int bitRate = 0;
    // Sample frames that were encoded, without the encoder's delay and padding; 0 without a tag.
    std::uint64_t taggedFrames = 0;
    // What the encoder put before and after them.
    std::uint32_t encoderDelay = 0;
    std::uint32_t encoderPadding = 0;
};

// Nothing when no MPEG audio layer III frame starts the file (after an ID3v2 tag, if any).
std::optional<Mp3Layout> readMp3Layout(std::span<const unsigned char> bytes);

// The encoded samples within what a decoder returned, for decoders that keep the delay and
// padding (and perhaps the tag frame's own silence) as well as for those that trim them.
struct SampleWindow {
    std::uint64_t first = 0;
    std::uint64_t count = 0;
};

// Nothing when fewer frames were decoded than the tag announces: the file was cut short. A file
// without a tag keeps everything.
std::optional<SampleWindow> gaplessWindow(const Mp3Layout& layout, std::uint64_t decodedFrames);

} // namespace platform
