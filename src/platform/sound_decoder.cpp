#include "platform/sound_decoder.h"

#include "platform/startup_probe.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mpg123.h>
#include <string>

namespace platform {
namespace {

constexpr std::size_t readChunkSamples = 32768;
// No MPEG stream yields more than about 44 output frames per input byte (8 kbit/s at 8 kHz,
// resampled to 44.1 kHz), so a header claiming more is not trusted with the reservation.
constexpr std::uint64_t maximumFramesPerByte = 48;

struct MemoryFile {
    std::vector<unsigned char> bytes;
    std::size_t offset = 0;
};

mpg123_ssize_t readMemory(void* handle, void* destination, std::size_t count) {
    auto& file = *static_cast<MemoryFile*>(handle);
    const std::size_t available = file.bytes.size() - file.offset;
    const std::size_t taken = std::min(count, available);
    std::memcpy(destination, file.bytes.data() + file.offset, taken);
    file.offset += taken;
    return static_cast<mpg123_ssize_t>(taken);
}

off_t seekMemory(void* handle, off_t offset, int whence) {
    auto& file = *static_cast<MemoryFile*>(handle);
    off_t base = 0;
    if (whence == SEEK_CUR) {
        base = static_cast<off_t>(file.offset);
    } else if (whence == SEEK_END) {
        base = static_cast<off_t>(file.bytes.size());
    }
    const off_t target = base + offset;
    if (target < 0 || target > static_cast<off_t>(file.bytes.size())) {
        errno = EINVAL;
        return -1;
    }
    file.offset = static_cast<std::size_t>(target);
    return target;
}

void configure(mpg123_handle* handle) {
    // Gapless trims the encoder's delay and padding, so lengths and loop points are exact. No
    // resampling: the library's resampler can loop for ever on a damaged info frame, so a file
    // at another rate is refused instead (see readFirstFrame).
    mpg123_param(handle, MPG123_FLAGS, MPG123_GAPLESS | MPG123_QUIET | MPG123_FORCE_STEREO, 0);
    mpg123_format_none(handle);
    const long* rates = nullptr;
    std::size_t rateCount = 0;
    mpg123_rates(&rates, &rateCount);
    for (std::size_t i = 0; i < rateCount; ++i) {
        mpg123_format(handle, rates[i], MPG123_STEREO, MPG123_ENC_SIGNED_16);
    }
    mpg123_replace_reader_handle(handle, readMemory, seekMemory, nullptr);
}

DecodeResult readFirstFrame(mpg123_handle* handle, int wantedRate, std::string& reason) {
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    const int format = mpg123_getformat(handle, &rate, &channels, &encoding);
    if (format == MPG123_DONE || format == MPG123_NEED_MORE) {
        reason = "no MPEG audio frames found";
        return DecodeResult::corrupt;
    }
    if (format != MPG123_OK) {
        // Seeks within the bytes in memory fail only past their end: the file was cut short.
        const bool cutShort = mpg123_errcode(handle) == MPG123_LSEEK_FAILED;
        reason = cutShort ? "the file is cut short before any audio" : mpg123_strerror(handle);
        return DecodeResult::corrupt;
    }
    if (rate != wantedRate) {
        reason = "its sample rate is " + std::to_string(rate) + " Hz; only " +
                 std::to_string(wantedRate) + " Hz is played";
        return DecodeResult::corrupt;
    }
    return DecodeResult::decoded;
}

// The length the file's headers announce, believed only as far as its bytes allow.
std::uint64_t announcedFrames(mpg123_handle* handle, const MemoryFile& file) {
    const off_t announced = mpg123_length(handle);
    if (announced <= 0) {
        return 0;
    }
    return std::min<std::uint64_t>(static_cast<std::uint64_t>(announced),
                                   file.bytes.size() * maximumFramesPerByte);
}

// The exact length an encoder tag announces, or 0 for a file without one (its length is only
// estimated from its size).
std::uint64_t taggedFrames(mpg123_handle* handle) {
    long delay = -1;
    double unused = 0.0;
    if (mpg123_getstate(handle, MPG123_ENC_DELAY, &delay, &unused) != MPG123_OK || delay < 0) {
        return 0;
    }
    const off_t length = mpg123_length(handle);
    return length > 0 ? static_cast<std::uint64_t>(length) : 0;
}

// Room for one more read. The first reservation takes the whole expected length at once, so a
// file with an encoder tag is decoded into exactly one mapping.
bool makeRoom(SampleBuffer& samples, std::size_t expectedSamples) {
    const std::size_t needed = samples.size() + readChunkSamples;
    if (samples.capacity() >= needed) {
        return true;
    }
    return samples.reserve(
        std::max({needed, expectedSamples + readChunkSamples, samples.capacity() * 2}));
}

void initialiseLibraryOnce() {
    // Needed by older libmpg123 releases, harmless in newer ones; thread-safe through the static.
    static const int initialised = mpg123_init();
    (void)initialised;
}

} // namespace

struct SoundDecoder::Session {
    MemoryFile file;
    mpg123_handle* handle = nullptr;

    ~Session() {
        if (handle) {
            mpg123_delete(handle);
        }
    }
};

SoundDecoder::SoundDecoder() = default;
SoundDecoder::~SoundDecoder() = default;

DecodeResult SoundDecoder::open(const char* fileName, int rate, std::string& reason) {
    const StartupProbe probe(StartupStep::loopOpen);
    session = std::make_unique<Session>();
    const DecodeResult read = readSoundFile(fileName, session->file.bytes, reason);
    if (read != DecodeResult::decoded) {
        return read;
    }
    initialiseLibraryOnce();
    int error = MPG123_OK;
    session->handle = mpg123_new(nullptr, &error);
    if (!session->handle) {
        reason = mpg123_plain_strerror(error);
        return DecodeResult::corrupt;
    }
    configure(session->handle);
    if (mpg123_open_handle(session->handle, &session->file) != MPG123_OK) {
        reason = mpg123_strerror(session->handle);
        return DecodeResult::corrupt;
    }
    return readFirstFrame(session->handle, rate, reason);
}

bool SoundDecoder::decode(SampleBuffer& samples, std::string& reason) {
    const StartupProbe probe(StartupStep::loopDecode);
    const std::size_t first = samples.size();
    const std::size_t expected = first + announcedFrames(session->handle, session->file) * 2;
    const std::uint64_t tagged = taggedFrames(session->handle);
    int result = MPG123_OK;
    while (result == MPG123_OK || result == MPG123_NEW_FORMAT) {
        if (!makeRoom(samples, expected)) {
            reason = "out of memory";
            session.reset();
            return false;
        }
        const std::size_t filled = samples.size();
        std::size_t bytes = 0;
        result =
            mpg123_read(session->handle, samples.data() + filled, readChunkSamples * 2, &bytes);
        samples.resize(filled + bytes / 2);
    }
    // A tagged file that ends early was cut short: played, the loop would stop before its end.
    const std::uint64_t decodedFrames = (samples.size() - first) / 2;
    const bool cutShort = result == MPG123_DONE && decodedFrames < tagged;
    if (result != MPG123_DONE) {
        reason = mpg123_strerror(session->handle);
    } else if (samples.size() == first) {
        reason = "the file holds no audio samples";
    } else if (cutShort) {
        reason = "the file is cut short: its tag announces " + std::to_string(tagged) +
                 " sample frames, " + std::to_string(decodedFrames) + " are there";
    }
    session.reset();
    return result == MPG123_DONE && samples.size() > first && !cutShort;
}

DecodeResult decodeSoundFile(const char* fileName, int rate, std::vector<std::int16_t>& samples,
                             std::string& reason) {
    SoundDecoder decoder;
    const DecodeResult opened = decoder.open(fileName, rate, reason);
    if (opened != DecodeResult::decoded) {
        return opened;
    }
    SampleBuffer buffer;
    if (!decoder.decode(buffer, reason)) {
        return DecodeResult::corrupt;
    }
    samples.assign(buffer.data(), buffer.data() + buffer.size());
    return DecodeResult::decoded;
}

} // namespace platform
