#include "platform/mp3_encoder_tag.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace platform {
namespace {

// A decoder's own delay, which trimming decoders remove from the start together with the
// encoder's, and from the padding at the end.
constexpr std::uint32_t decoderDelay = 529;

struct FrameHeader {
    bool mpeg1 = false;
    bool mono = false;
    int sampleRate = 0;
    int bitRate = 0;
};

std::uint32_t bigEndian(std::span<const unsigned char> bytes, std::size_t at, int count) {
    std::uint32_t value = 0;
    for (int i = 0; i < count; ++i) {
        value = value << 8 | bytes[at + static_cast<std::size_t>(i)];
    }
    return value;
}

std::size_t afterId3Tag(std::span<const unsigned char> bytes) {
    if (bytes.size() < 10 || std::memcmp(bytes.data(), "ID3", 3) != 0) {
        return 0;
    }
    // Seven bits per byte, so the size never looks like a frame sync.
    std::size_t size = 0;
    for (std::size_t i = 6; i < 10; ++i) {
        size = size << 7 | (bytes[i] & 0x7F);
    }
    return 10 + size;
}

std::optional<FrameHeader> readFrameHeader(std::span<const unsigned char> bytes, std::size_t at) {
    if (at + 4 > bytes.size() || bytes[at] != 0xFF || (bytes[at + 1] & 0xE0) != 0xE0) {
        return std::nullopt;
    }
    const int version = (bytes[at + 1] >> 3) & 3; // 3: MPEG 1, 2: MPEG 2, 0: MPEG 2.5
    const int layer = (bytes[at + 1] >> 1) & 3;   // 1: layer III
    const int rateIndex = (bytes[at + 2] >> 2) & 3;
    if (version == 1 || layer != 1 || rateIndex == 3) {
        return std::nullopt;
    }
    constexpr std::array<int, 3> mpeg1Rates{44100, 48000, 32000};
    // Kilobits per second by index; index 0 is free format, 15 is not allowed.
    constexpr std::array<int, 16> mpeg1BitRates{0,   32,  40,  48,  56,  64,  80,  96,
                                                112, 128, 160, 192, 224, 256, 320, 0};
    constexpr std::array<int, 16> mpeg2BitRates{0,  8,  16, 24,  32,  40,  48,  56,
                                                64, 80, 96, 112, 128, 144, 160, 0};
    const int divisor = version == 3 ? 1 : version == 2 ? 2 : 4;
    const auto bitRateIndex = static_cast<std::size_t>(bytes[at + 2] >> 4);
    FrameHeader header;
    header.mpeg1 = version == 3;
    header.mono = (bytes[at + 3] >> 6) == 3;
    header.sampleRate = mpeg1Rates[static_cast<std::size_t>(rateIndex)] / divisor;
    header.bitRate =
        1000 * (header.mpeg1 ? mpeg1BitRates[bitRateIndex] : mpeg2BitRates[bitRateIndex]);
    return header;
}

std::size_t sideInformationSize(const FrameHeader& header) {
    if (header.mpeg1) {
        return header.mono ? 17 : 32;
    }
    return header.mono ? 9 : 17;
}

void readEncoderTag(std::span<const unsigned char> bytes, std::size_t frameStart,
                    const FrameHeader& header, Mp3Layout& layout) {
    std::size_t at = frameStart + 4 + sideInformationSize(header);
    if (at + 8 > bytes.size() ||
        (std::memcmp(&bytes[at], "Xing", 4) != 0 && std::memcmp(&bytes[at], "Info", 4) != 0)) {
        return;
    }
    const std::uint32_t flags = bigEndian(bytes, at + 4, 4);
    at += 8;
    constexpr std::uint32_t framesPresent = 1;
    if ((flags & framesPresent) == 0 || at + 4 > bytes.size()) {
        return;
    }
    const std::uint32_t frames = bigEndian(bytes, at, 4);
    at += 4;
    at += (flags & 2) != 0 ? 4 : 0;   // byte count
    at += (flags & 4) != 0 ? 100 : 0; // seek table
    at += (flags & 8) != 0 ? 4 : 0;   // quality
    // The encoder's extension: nine bytes of its name and version, then delay and padding in
    // twelve bits each, 21 bytes in.
    if (at + 24 > bytes.size()) {
        return;
    }
    const std::uint32_t delayAndPadding = bigEndian(bytes, at + 21, 3);
    layout.encoderDelay = delayAndPadding >> 12;
    layout.encoderPadding = delayAndPadding & 0xFFF;
    const std::uint64_t samplesPerFrame = header.mpeg1 ? 1152 : 576;
    const std::uint64_t total = frames * samplesPerFrame;
    const std::uint64_t trimmed = std::uint64_t{layout.encoderDelay} + layout.encoderPadding;
    layout.taggedFrames = total > trimmed ? total - trimmed : 0;
}

} // namespace

std::optional<Mp3Layout> readMp3Layout(std::span<const unsigned char> bytes) {
    const std::size_t frameStart = afterId3Tag(bytes);
    const std::optional<FrameHeader> header = readFrameHeader(bytes, frameStart);
    if (!header) {
        return std::nullopt;
    }
    Mp3Layout layout;
    layout.sampleRate = header->sampleRate;
    layout.channels = header->mono ? 1 : 2;
    layout.bitRate = header->bitRate;
    readEncoderTag(bytes, frameStart, *header, layout);
    return layout;
}

std::optional<SampleWindow> gaplessWindow(const Mp3Layout& layout, std::uint64_t decodedFrames) {
    if (layout.taggedFrames == 0) {
        return SampleWindow{0, decodedFrames};
    }
    if (decodedFrames < layout.taggedFrames) {
        return std::nullopt;
    }
    const std::uint64_t surplus = decodedFrames - layout.taggedFrames;
    const std::uint64_t padding =
        layout.encoderPadding > decoderDelay ? layout.encoderPadding - decoderDelay : 0;
    const std::uint64_t trailing = std::min(surplus, padding);
    return SampleWindow{surplus - trailing, layout.taggedFrames};
}

} // namespace platform
