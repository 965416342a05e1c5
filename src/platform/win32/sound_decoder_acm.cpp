// SoundDecoder on Windows: MP3 through the system's audio compression manager (ACM), which every
// Windows has, to 16-bit PCM at the mix rate. ACM's decoders keep the encoder's delay and padding
// (and may decode the tag frame as silence), so the encoder tag decides which samples are the loop.
#include "platform/mp3_encoder_tag.h"
#include "platform/sound_decoder.h"
#include "platform/startup_probe.h"
#include "platform/win32/multimedia_error.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>
#include <windows.h>
// winmm's and ACM's headers build on windows.h.
#include <mmreg.h>
#include <mmsystem.h>
#include <msacm.h>

namespace platform {
namespace {

constexpr std::size_t sourceChunkBytes = 16384;
constexpr std::size_t outputChunkBytes = 262144;
constexpr std::uint64_t tagFrameSamples = 1152;

MPEGLAYER3WAVEFORMAT mp3Format(const Mp3Layout& layout) {
    MPEGLAYER3WAVEFORMAT format{};
    format.wfx.wFormatTag = WAVE_FORMAT_MPEGLAYER3;
    format.wfx.nChannels = static_cast<WORD>(layout.channels);
    format.wfx.nSamplesPerSec = static_cast<DWORD>(layout.sampleRate);
    format.wfx.nAvgBytesPerSec = static_cast<DWORD>(layout.bitRate / 8);
    format.wfx.nBlockAlign = 1;
    format.wfx.cbSize = MPEGLAYER3_WFX_EXTRA_BYTES;
    format.wID = MPEGLAYER3_ID_MPEG;
    format.fdwFlags = MPEGLAYER3_FLAG_PADDING_OFF;
    // A frame's bytes at the first frame's bit rate: 1152 samples in MPEG 1 (whose rates are the
    // only ones from 32 kHz up), 576 in MPEG 2 and 2.5.
    const int frameSamples = layout.sampleRate >= 32000 ? 1152 : 576;
    format.nBlockSize = static_cast<WORD>(frameSamples / 8 * layout.bitRate / layout.sampleRate);
    format.nFramesPerBlock = 1;
    return format;
}

WAVEFORMATEX pcmFormat(const Mp3Layout& layout) {
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = static_cast<WORD>(layout.channels);
    format.nSamplesPerSec = static_cast<DWORD>(layout.sampleRate);
    format.wBitsPerSample = 16;
    format.nBlockAlign = static_cast<WORD>(layout.channels * 2);
    format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
    return format;
}

// The frames a file with an encoder tag decodes to, with room for the tag frame and a frame more.
std::uint64_t expectedFrames(const Mp3Layout& layout) {
    if (layout.taggedFrames == 0) {
        return 0;
    }
    return layout.taggedFrames + layout.encoderDelay + layout.encoderPadding + 2 * tagFrameSamples;
}

// Cuts the decoded samples after first down to the encoded ones.
bool keepTheLoop(const Mp3Layout& layout, std::size_t first, SampleBuffer& samples,
                 std::string& reason) {
    const std::uint64_t decoded = (samples.size() - first) / 2;
    const std::optional<SampleWindow> window = gaplessWindow(layout, decoded);
    // Every whole frame decodes to samples, the tag frame too.
    if (decoded == 0) {
        reason = "the file is cut short before any audio";
    } else if (!window) {
        reason = "the file is cut short: its tag announces " + std::to_string(layout.taggedFrames) +
                 " sample frames, " + std::to_string(decoded) + " are there";
    } else if (window->count == 0) {
        reason = "the file holds no audio samples";
    } else {
        std::int16_t* kept = samples.data() + first;
        std::memmove(kept, kept + window->first * 2, window->count * 2 * sizeof(std::int16_t));
        samples.resize(first + window->count * 2);
        return true;
    }
    samples.resize(first);
    return false;
}

// Appends decoded PCM as stereo, doubling mono to both sides.
bool appendStereo(SampleBuffer& samples, const std::int16_t* pcm, std::size_t count, int channels) {
    const std::size_t added = channels == 1 ? count * 2 : count;
    const std::size_t filled = samples.size();
    if (filled + added > samples.capacity() &&
        !samples.reserve(std::max(filled + added, samples.capacity() * 2))) {
        return false;
    }
    samples.resize(filled + added);
    std::int16_t* out = samples.data() + filled;
    if (channels == 2) {
        std::memcpy(out, pcm, count * sizeof(std::int16_t));
        return true;
    }
    for (std::size_t i = 0; i < count; ++i) {
        out[2 * i] = pcm[i];
        out[2 * i + 1] = pcm[i];
    }
    return true;
}

// Feeds a file through an opened ACM stream a chunk at a time and keeps every sample that comes
// out. One header is prepared for the whole run, and ACM wants the same buffers on every call of
// a prepared header, so what the decoder leaves of a chunk moves to the front of the source buffer.
class AcmConversion {
public:
    AcmConversion(HACMSTREAM stream, const std::vector<unsigned char>& file, int channels)
        : stream(stream), file(file), channels(channels) {}

    bool run(SampleBuffer& samples, std::string& reason);

private:
    bool convertAll(SampleBuffer& samples, std::string& reason);
    std::size_t refill();
    bool convert(DWORD flags, SampleBuffer& samples, std::string& reason);

    HACMSTREAM stream;
    const std::vector<unsigned char>& file;
    int channels;
    std::vector<unsigned char> source = std::vector<unsigned char>(sourceChunkBytes);
    std::vector<std::int16_t> output = std::vector<std::int16_t>(outputChunkBytes / 2);
    ACMSTREAMHEADER header{};
    std::size_t fed = 0;
    std::size_t pending = 0;
    DWORD consumed = 0;
    DWORD produced = 0;
};

bool AcmConversion::run(SampleBuffer& samples, std::string& reason) {
    header.cbStruct = sizeof header;
    header.pbSrc = source.data();
    header.cbSrcLength = static_cast<DWORD>(source.size());
    header.pbDst = reinterpret_cast<BYTE*>(output.data());
    header.cbDstLength = static_cast<DWORD>(output.size() * sizeof(std::int16_t));
    const MMRESULT prepared = acmStreamPrepareHeader(stream, &header, 0);
    if (prepared != MMSYSERR_NOERROR) {
        reason = "the system's MP3 decoder fails on it (" + multimediaErrorText(prepared) + ")";
        return false;
    }
    const bool converted = convertAll(samples, reason);
    // Unpreparing wants the lengths that were prepared.
    header.cbSrcLength = static_cast<DWORD>(source.size());
    acmStreamUnprepareHeader(stream, &header, 0);
    return converted;
}

bool AcmConversion::convertAll(SampleBuffer& samples, std::string& reason) {
    DWORD flags = ACM_STREAMCONVERTF_START | ACM_STREAMCONVERTF_BLOCKALIGN;
    while (true) {
        const bool added = refill() > 0;
        const bool last = fed == file.size();
        if (!convert(last ? flags | ACM_STREAMCONVERTF_END : flags, samples, reason)) {
            return false;
        }
        flags &= ~ACM_STREAMCONVERTF_START;
        // Once the whole file is in, calls go on until the decoder has given back everything.
        if (last && produced == 0) {
            return true;
        }
        if (!last && !added && consumed == 0 && produced == 0) {
            reason = "the system's MP3 decoder stops at byte " + std::to_string(fed - pending);
            return false;
        }
    }
}

// Moves what the decoder left to the front and tops the buffer up from the file; the bytes added.
std::size_t AcmConversion::refill() {
    const std::size_t left = pending - std::min<std::size_t>(consumed, pending);
    std::memmove(source.data(), source.data() + (pending - left), left);
    const std::size_t added = std::min(source.size() - left, file.size() - fed);
    std::memcpy(source.data() + left, file.data() + fed, added);
    fed += added;
    pending = left + added;
    return added;
}

bool AcmConversion::convert(DWORD flags, SampleBuffer& samples, std::string& reason) {
    header.cbSrcLength = static_cast<DWORD>(pending);
    const MMRESULT result = acmStreamConvert(stream, &header, flags);
    if (result != MMSYSERR_NOERROR) {
        reason = "the system's MP3 decoder fails on it (" + multimediaErrorText(result) + ")";
        return false;
    }
    consumed = header.cbSrcLengthUsed;
    produced = header.cbDstLengthUsed;
    if (!appendStereo(samples, output.data(), produced / sizeof(std::int16_t), channels)) {
        reason = "out of memory";
        return false;
    }
    return true;
}

} // namespace

struct SoundDecoder::Session {
    std::vector<unsigned char> bytes;
    Mp3Layout layout;
    HACMSTREAM stream = nullptr;

    ~Session() {
        if (stream) {
            acmStreamClose(stream, 0);
        }
    }
};

SoundDecoder::SoundDecoder() = default;
SoundDecoder::~SoundDecoder() = default;

DecodeResult SoundDecoder::open(const char* fileName, int rate, std::string& reason) {
    const StartupProbe probe(StartupStep::loopOpen);
    session = std::make_unique<Session>();
    const DecodeResult read = readSoundFile(fileName, session->bytes, reason);
    if (read != DecodeResult::decoded) {
        return read;
    }
    const std::optional<Mp3Layout> layout = readMp3Layout(session->bytes);
    if (!layout) {
        reason = "no MPEG audio frames found";
        return DecodeResult::corrupt;
    }
    if (layout->sampleRate != rate) {
        reason = "its sample rate is " + std::to_string(layout->sampleRate) + " Hz; only " +
                 std::to_string(rate) + " Hz is played";
        return DecodeResult::corrupt;
    }
    session->layout = *layout;
    MPEGLAYER3WAVEFORMAT from = mp3Format(*layout);
    WAVEFORMATEX to = pcmFormat(*layout);
    const MMRESULT opened = acmStreamOpen(&session->stream, nullptr, &from.wfx, &to, nullptr, 0, 0,
                                          ACM_STREAMOPENF_NONREALTIME);
    if (opened != MMSYSERR_NOERROR) {
        session->stream = nullptr;
        reason = "the system cannot decode it (" + multimediaErrorText(opened) + ")";
        return DecodeResult::corrupt;
    }
    return DecodeResult::decoded;
}

bool SoundDecoder::decode(SampleBuffer& samples, std::string& reason) {
    const StartupProbe probe(StartupStep::loopDecode);
    const std::size_t first = samples.size();
    const Mp3Layout layout = session->layout;
    bool converted = samples.reserve(first + expectedFrames(layout) * 2);
    if (!converted) {
        reason = "out of memory";
    } else {
        converted =
            AcmConversion(session->stream, session->bytes, layout.channels).run(samples, reason);
    }
    session.reset();
    return converted && keepTheLoop(layout, first, samples, reason);
}

} // namespace platform
