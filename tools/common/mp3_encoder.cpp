#include "common/mp3_encoder.h"

#include <algorithm>
#include <lame/lame.h>
#include <memory>

namespace {

struct LameCloser {
    void operator()(lame_global_flags* flags) const { lame_close(flags); }
};

using Lame = std::unique_ptr<lame_global_flags, LameCloser>;

bool configure(lame_global_flags* flags, const Mp3Settings& settings) {
    lame_set_in_samplerate(flags, settings.rate);
    lame_set_out_samplerate(flags, settings.rate);
    lame_set_num_channels(flags, settings.channels);
    lame_set_mode(flags, settings.channels == 1 ? MONO : JOINT_STEREO);
    if (settings.vbrQuality >= 0.0f) {
        lame_set_VBR(flags, vbr_mtrh);
        lame_set_VBR_quality(flags, settings.vbrQuality);
    } else {
        lame_set_VBR(flags, vbr_off);
        lame_set_brate(flags, settings.cbrKilobits);
    }
    lame_set_quality(flags, 3);
    lame_set_bWriteVbrTag(flags, settings.writeTag ? 1 : 0);
    id3tag_init(flags);
    lame_set_write_id3tag_automatic(flags, 0);
    return lame_init_params(flags) >= 0;
}

// Frames handed to LAME at a time, and the output room its documentation asks for them.
constexpr int chunkFrames = 8192;
constexpr std::size_t outputRoom = chunkFrames * 5 / 4 + 7200;

// Runs encodeChunk(first frame, frame count, output, room) over every frame, flushes, and puts
// the tag frame over the placeholder the encoder wrote first.
template <typename EncodeChunk>
bool encodeFrames(lame_global_flags* flags, std::size_t frames, const Mp3Settings& settings,
                  EncodeChunk encodeChunk, std::vector<std::uint8_t>& bytes, std::string& reason) {
    std::vector<unsigned char> output(outputRoom);
    bytes.clear();
    for (std::size_t at = 0; at < frames; at += chunkFrames) {
        const int count = static_cast<int>(std::min<std::size_t>(chunkFrames, frames - at));
        const int written = encodeChunk(at, count, output.data(), static_cast<int>(output.size()));
        if (written < 0) {
            reason = "the MP3 encoder failed";
            return false;
        }
        bytes.insert(bytes.end(), output.begin(), output.begin() + written);
    }
    const int flushed = lame_encode_flush(flags, output.data(), static_cast<int>(output.size()));
    if (flushed < 0) {
        reason = "the MP3 encoder failed to flush";
        return false;
    }
    bytes.insert(bytes.end(), output.begin(), output.begin() + flushed);
    if (!settings.writeTag) {
        return true;
    }
    const std::size_t tagSize = lame_get_lametag_frame(flags, output.data(), output.size());
    if (tagSize == 0 || tagSize > bytes.size()) {
        reason = "the MP3 encoder gave no tag frame";
        return false;
    }
    std::copy(output.begin(), output.begin() + static_cast<std::ptrdiff_t>(tagSize), bytes.begin());
    return true;
}

Lame openEncoder(const Mp3Settings& settings, std::string& reason) {
    Lame flags(lame_init());
    if (!flags || !configure(flags.get(), settings)) {
        reason = "the MP3 encoder rejects " + std::to_string(settings.rate) + " Hz with " +
                 std::to_string(settings.channels) + " channels";
        return nullptr;
    }
    return flags;
}

} // namespace

bool encodeMp3(std::span<const float> left, std::span<const float> right,
               const Mp3Settings& settings, std::vector<std::uint8_t>& bytes, std::string& reason) {
    Lame flags = openEncoder(settings, reason);
    if (!flags) {
        return false;
    }
    auto encodeChunk = [&](std::size_t at, int count, unsigned char* output, int room) {
        return lame_encode_buffer_ieee_float(flags.get(), left.data() + at, right.data() + at,
                                             count, output, room);
    };
    return encodeFrames(flags.get(), left.size(), settings, encodeChunk, bytes, reason);
}

bool encodeMp3(std::span<const std::int16_t> samples, const Mp3Settings& settings,
               std::vector<std::uint8_t>& bytes, std::string& reason) {
    Lame flags = openEncoder(settings, reason);
    if (!flags) {
        return false;
    }
    // LAME's interface takes non-const buffers but only reads them.
    auto* input = const_cast<short*>(samples.data());
    const auto channels = static_cast<std::size_t>(settings.channels);
    auto encodeChunk = [&](std::size_t at, int count, unsigned char* output, int room) {
        if (settings.channels == 1) {
            return lame_encode_buffer(flags.get(), input + at, input + at, count, output, room);
        }
        return lame_encode_buffer_interleaved(flags.get(), input + at * channels, count, output,
                                              room);
    };
    return encodeFrames(flags.get(), samples.size() / channels, settings, encodeChunk, bytes,
                        reason);
}
