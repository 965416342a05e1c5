// SoundDecoder in the browser: the browser's own MP3 decoder (decodeAudioData), at the mix rate.
// Browsers differ in whether they trim the encoder's delay and padding, so the encoder tag
// decides which samples are the loop.
#include "platform/mp3_encoder_tag.h"
#include "platform/sound_decoder.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <emscripten.h>
#include <optional>
#include <string>
#include <vector>

namespace platform {
namespace {

// Interleaved 16-bit stereo in memory from malloc (the caller frees it), or null with the reason.
// The page began decoding the file when it loaded it, at the rate of its audio context; at
// another rate, or without the page's start, the bytes are decoded here.
EM_ASYNC_JS(std::int16_t*, decodeInBrowser,
            (const char* name, const unsigned char* bytes, int size, int rate, int* frames,
             char* reason, int reasonSize),
            {
                const early =
                    Module.lumivahaPage.takeDecoding(FS.lookupPath(UTF8ToString(name)).path);
                let decoded;
                try {
                    if (early && early.rate == rate) {
                        const result = await early.result;
                        if (result.error)
                            throw result.error;
                        decoded = result.buffer;
                    } else {
                        const context = new OfflineAudioContext(2, 1, rate);
                        decoded =
                            await context.decodeAudioData(HEAPU8.slice(bytes, bytes + size).buffer);
                    }
                } catch (error) {
                    stringToUTF8("the browser cannot decode it (" + error.message + ")", reason,
                                 reasonSize);
                    return 0;
                }
                const count = decoded.length;
                const samples = _malloc(count * 4);
                if (!samples) {
                    stringToUTF8("out of memory", reason, reasonSize);
                    return 0;
                }
                const left = decoded.getChannelData(0);
                const right = decoded.numberOfChannels > 1 ? decoded.getChannelData(1) : left;
                function toSample(value) {
                    return Math.max(-32768, Math.min(32767, Math.round(value * 32768)));
                }
                const first = samples >> 1;
                for (let i = 0; i < count; ++i) {
                    HEAP16[first + 2 * i] = toSample(left[i]);
                    HEAP16[first + 2 * i + 1] = toSample(right[i]);
                }
                HEAP32[frames >> 2] = count;
                return samples;
            });

} // namespace

struct SoundDecoder::Session {
    std::string fileName;
    std::vector<unsigned char> bytes;
    Mp3Layout layout;
    int rate = 0;
};

SoundDecoder::SoundDecoder() = default;
SoundDecoder::~SoundDecoder() = default;

DecodeResult SoundDecoder::open(const char* fileName, int rate, std::string& reason) {
    session = std::make_unique<Session>();
    session->fileName = fileName;
    const DecodeResult read = readSoundFile(fileName, session->bytes, reason);
    if (read != DecodeResult::decoded) {
        return read;
    }
    const std::optional<Mp3Layout> layout = readMp3Layout(session->bytes);
    if (!layout) {
        reason = "no MPEG audio frames found";
        return DecodeResult::corrupt;
    }
    // The browser would resample; the native build refuses, and so does this one.
    if (layout->sampleRate != rate) {
        reason = "its sample rate is " + std::to_string(layout->sampleRate) + " Hz; only " +
                 std::to_string(rate) + " Hz is supported";
        return DecodeResult::corrupt;
    }
    session->layout = *layout;
    session->rate = rate;
    return DecodeResult::decoded;
}

bool SoundDecoder::decode(SampleBuffer& samples, std::string& reason) {
    int frames = 0;
    char text[256] = {};
    std::int16_t* decoded = decodeInBrowser(session->fileName.c_str(), session->bytes.data(),
                                            static_cast<int>(session->bytes.size()), session->rate,
                                            &frames, text, sizeof text);
    if (decoded == nullptr) {
        reason = text;
        session.reset();
        return false;
    }
    const std::optional<SampleWindow> window =
        gaplessWindow(session->layout, static_cast<std::uint64_t>(frames));
    const std::size_t first = samples.size();
    bool kept = false;
    if (!window) {
        reason = "the file is cut short: its tag announces " +
                 std::to_string(session->layout.taggedFrames) + " sample frames, " +
                 std::to_string(frames) + " are there";
    } else if (window->count == 0) {
        reason = "the file holds no audio samples";
    } else if (!samples.reserve(first + window->count * 2)) {
        reason = "out of memory";
    } else {
        samples.resize(first + window->count * 2);
        std::memcpy(samples.data() + first, decoded + window->first * 2,
                    window->count * 2 * sizeof(std::int16_t));
        kept = true;
    }
    std::free(decoded);
    session.reset();
    return kept;
}

} // namespace platform
