#include "lame_encoder.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <lame/lame.h>
#include <stdexcept>

namespace soundtest {

std::vector<unsigned char> encodeMp3(const std::vector<std::int16_t>& samples,
                                     const Mp3Settings& settings) {
    lame_global_flags* flags = lame_init();
    lame_set_in_samplerate(flags, settings.rate);
    lame_set_out_samplerate(flags, settings.rate);
    lame_set_num_channels(flags, settings.channels);
    lame_set_mode(flags, settings.channels == 1 ? MONO : JOINT_STEREO);
    if (settings.vbrQuality >= 0) {
        lame_set_VBR(flags, vbr_default);
        lame_set_VBR_q(flags, settings.vbrQuality);
    } else {
        lame_set_VBR(flags, vbr_off);
        lame_set_brate(flags, settings.cbrKilobits);
    }
    lame_set_bWriteVbrTag(flags, settings.writeTag ? 1 : 0);
    if (lame_init_params(flags) < 0) {
        lame_close(flags);
        throw std::runtime_error("LAME rejected the settings");
    }

    const int frames = static_cast<int>(samples.size()) / settings.channels;
    std::vector<unsigned char> bytes(samples.size() * 2 + frames / 4 + 16384);
    std::vector<std::int16_t> copy(samples); // LAME's interface takes non-const buffers
    int written = 0;
    if (settings.channels == 2) {
        written = lame_encode_buffer_interleaved(flags, copy.data(), frames, bytes.data(),
                                                 static_cast<int>(bytes.size()));
    } else {
        written = lame_encode_buffer(flags, copy.data(), copy.data(), frames, bytes.data(),
                                     static_cast<int>(bytes.size()));
    }
    if (written < 0) {
        lame_close(flags);
        throw std::runtime_error("LAME failed to encode");
    }
    written +=
        lame_encode_flush(flags, bytes.data() + written, static_cast<int>(bytes.size()) - written);
    bytes.resize(static_cast<std::size_t>(written));
    if (settings.writeTag) {
        unsigned char tag[4096];
        const std::size_t tagSize = lame_get_lametag_frame(flags, tag, sizeof tag);
        if (tagSize == 0 || tagSize > bytes.size()) {
            lame_close(flags);
            throw std::runtime_error("LAME gave no tag frame");
        }
        std::memcpy(bytes.data(), tag, tagSize);
    }
    lame_close(flags);
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
    if (!writeBytes(fileName, encodeMp3(samples, settings))) {
        throw std::runtime_error("cannot write " + fileName);
    }
    return fileName;
}

ScratchDirectory::ScratchDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "lumivaha-sound-XXXXXX");
    if (!mkdtemp(pattern.data())) {
        throw std::runtime_error("cannot create a scratch directory");
    }
    path = pattern;
}

ScratchDirectory::~ScratchDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

} // namespace soundtest
