#include "mp3_test_files.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace soundtest {

std::vector<unsigned char> mp3Bytes(const std::vector<std::int16_t>& samples,
                                    const Mp3Settings& settings) {
    std::vector<unsigned char> bytes;
    std::string reason;
    if (!encodeMp3(samples, settings, bytes, reason)) {
        throw std::runtime_error(reason);
    }
    return bytes;
}

std::vector<std::int16_t> makeSignal(std::uint32_t frames, int channels, int rate) {
    std::vector<std::int16_t> samples(static_cast<std::size_t>(frames) * channels);
    const double pi = 3.14159265358979323846;
    for (std::uint32_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / rate;
        for (int c = 0; c < channels; ++c) {
            const double base = 220.0 * (c + 1);
            const double sweep = base * 3.0 * (1.0 + 0.2 * t);
            const double value =
                0.3 * std::sin(2.0 * pi * base * t) + 0.2 * std::sin(2.0 * pi * sweep * t);
            samples[static_cast<std::size_t>(i) * channels + c] =
                static_cast<std::int16_t>(std::lround(value * 32767.0));
        }
    }
    return samples;
}

bool writeBytes(const std::string& fileName, const std::vector<unsigned char>& bytes) {
    std::FILE* file = std::fopen(fileName.c_str(), "wb");
    if (!file) {
        return false;
    }
    const bool written =
        bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

std::string writeMp3(const std::string& fileName, const std::vector<std::int16_t>& samples,
                     const Mp3Settings& settings) {
    if (!writeBytes(fileName, mp3Bytes(samples, settings))) {
        throw std::runtime_error("cannot write " + fileName);
    }
    return fileName;
}

} // namespace soundtest
