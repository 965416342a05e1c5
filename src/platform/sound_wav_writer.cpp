#include "platform/sound_wav_writer.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace platform {
namespace {

constexpr std::size_t headerSize = 44;
constexpr unsigned channels = 2;
constexpr unsigned bytesPerSample = 2;

void put16(unsigned char* at, std::uint32_t value) {
    at[0] = static_cast<unsigned char>(value);
    at[1] = static_cast<unsigned char>(value >> 8);
}

void put32(unsigned char* at, std::uint32_t value) {
    put16(at, value);
    put16(at + 2, value >> 16);
}

std::array<unsigned char, headerSize> makeHeader(std::uint32_t dataBytes, int rate) {
    std::array<unsigned char, headerSize> header{};
    unsigned char* h = header.data();
    std::memcpy(h, "RIFF", 4);
    put32(h + 4, static_cast<std::uint32_t>(headerSize - 8) + dataBytes);
    std::memcpy(h + 8, "WAVEfmt ", 8);
    put32(h + 16, 16); // the size of the plain PCM format chunk
    put16(h + 20, 1);  // PCM
    put16(h + 22, channels);
    put32(h + 24, static_cast<std::uint32_t>(rate));
    put32(h + 28, static_cast<std::uint32_t>(rate) * channels * bytesPerSample);
    put16(h + 32, channels * bytesPerSample);
    put16(h + 34, bytesPerSample * 8);
    std::memcpy(h + 36, "data", 4);
    put32(h + 40, dataBytes);
    return header;
}

bool writeSamples(std::FILE* file, const std::int16_t* samples, std::size_t count) {
    // Little-endian on disk whatever the host's order.
    std::array<unsigned char, 8192> bytes{};
    for (std::size_t done = 0; done < count;) {
        const std::size_t batch = std::min(count - done, bytes.size() / 2);
        for (std::size_t i = 0; i < batch; ++i) {
            put16(bytes.data() + i * 2, static_cast<std::uint16_t>(samples[done + i]));
        }
        if (std::fwrite(bytes.data(), 2, batch, file) != batch) {
            return false;
        }
        done += batch;
    }
    return true;
}

} // namespace

bool writeWavFile(const char* fileName, const std::int16_t* samples, std::size_t sampleCount,
                  int rate, std::string& reason) {
    const std::uint64_t dataBytes = static_cast<std::uint64_t>(sampleCount) * bytesPerSample;
    if (dataBytes > 0xffffffffu - (headerSize - 8)) {
        reason = "too long for a WAV file";
        return false;
    }
    std::FILE* file = std::fopen(fileName, "wb");
    if (!file) {
        reason = std::strerror(errno);
        return false;
    }
    const auto header = makeHeader(static_cast<std::uint32_t>(dataBytes), rate);
    bool written = std::fwrite(header.data(), 1, header.size(), file) == header.size() &&
                   writeSamples(file, samples, sampleCount);
    if (!written) {
        reason = std::strerror(errno);
    }
    if (std::fclose(file) != 0 && written) {
        reason = std::strerror(errno);
        written = false;
    }
    return written;
}

} // namespace platform
