#include "forge/music/wav_writer.h"

#include "forge/music/beat_clock.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace forge {

namespace {

void putLittleEndian(std::vector<unsigned char>& bytes, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) {
        bytes.push_back(static_cast<unsigned char>(value >> (8 * i)));
    }
}

void putTag(std::vector<unsigned char>& bytes, const char* tag) {
    for (int i = 0; i < 4; ++i) {
        bytes.push_back(static_cast<unsigned char>(tag[i]));
    }
}

} // namespace

std::vector<unsigned char> encodeWav(const StereoBuffer& buffer) {
    auto dataSize = static_cast<std::uint32_t>(buffer.frames() * beat::channels * 2);
    std::vector<unsigned char> bytes;
    bytes.reserve(44 + dataSize);
    putTag(bytes, "RIFF");
    putLittleEndian(bytes, 36 + dataSize, 4);
    putTag(bytes, "WAVE");
    putTag(bytes, "fmt ");
    putLittleEndian(bytes, 16, 4);
    putLittleEndian(bytes, 1, 2); // PCM
    putLittleEndian(bytes, beat::channels, 2);
    putLittleEndian(bytes, beat::sampleRate, 4);
    putLittleEndian(bytes, beat::sampleRate * beat::channels * 2, 4);
    putLittleEndian(bytes, beat::channels * 2, 2);
    putLittleEndian(bytes, 16, 2);
    putTag(bytes, "data");
    putLittleEndian(bytes, dataSize, 4);
    for (std::size_t i = 0; i < buffer.left.size(); ++i) {
        for (float sample : {buffer.left[i], buffer.right[i]}) {
            long value = std::lround(std::clamp(sample, -1.0f, 1.0f) * 32767.0f);
            putLittleEndian(bytes, static_cast<std::uint32_t>(value) & 0xffffu, 2);
        }
    }
    return bytes;
}

} // namespace forge
