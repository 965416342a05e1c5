#include "mp3_encoder.h"

#include "beat_clock.h"

#include <lame/lame.h>
#include <memory>

namespace forge {

namespace {

struct LameCloser {
    void operator()(lame_global_flags* flags) const { lame_close(flags); }
};

bool configure(lame_global_flags* flags) {
    lame_set_in_samplerate(flags, beat::sampleRate);
    lame_set_out_samplerate(flags, beat::sampleRate);
    lame_set_num_channels(flags, beat::channels);
    lame_set_mode(flags, JOINT_STEREO);
    lame_set_VBR(flags, vbr_mtrh);
    lame_set_VBR_quality(flags, 2.0f);
    lame_set_quality(flags, 3);
    lame_set_bWriteVbrTag(flags, 1);
    // No ID3 tags: they would carry the library's version and change nothing we need.
    id3tag_init(flags);
    lame_set_write_id3tag_automatic(flags, 0);
    return lame_init_params(flags) >= 0;
}

} // namespace

bool encodeMp3(const StereoBuffer& buffer, std::vector<unsigned char>& bytes, std::string& reason) {
    std::unique_ptr<lame_global_flags, LameCloser> flags(lame_init());
    if (!flags || !configure(flags.get())) {
        reason = "the MP3 encoder rejects 44.1 kHz stereo VBR";
        return false;
    }
    constexpr int chunk = 8192;
    std::vector<unsigned char> output(static_cast<std::size_t>(chunk * 5 / 4 + 7200));
    bytes.clear();
    for (std::int64_t at = 0; at < buffer.frames(); at += chunk) {
        int frames = static_cast<int>(std::min<std::int64_t>(chunk, buffer.frames() - at));
        int written = lame_encode_buffer_ieee_float(flags.get(), buffer.left.data() + at,
                                                    buffer.right.data() + at, frames, output.data(),
                                                    static_cast<int>(output.size()));
        if (written < 0) {
            reason = "the MP3 encoder failed";
            return false;
        }
        bytes.insert(bytes.end(), output.begin(), output.begin() + written);
    }
    int flushed = lame_encode_flush(flags.get(), output.data(), static_cast<int>(output.size()));
    if (flushed < 0) {
        reason = "the MP3 encoder failed to flush";
        return false;
    }
    bytes.insert(bytes.end(), output.begin(), output.begin() + flushed);
    // The tag frame holds the delay and padding; it goes over the placeholder the encoder
    // wrote first, or decoders play an extra frame of silence.
    std::size_t tagSize = lame_get_lametag_frame(flags.get(), output.data(), output.size());
    if (tagSize == 0 || tagSize > bytes.size()) {
        reason = "the MP3 encoder gave no tag frame";
        return false;
    }
    std::copy(output.begin(), output.begin() + static_cast<std::ptrdiff_t>(tagSize), bytes.begin());
    return true;
}

} // namespace forge
