#pragma once

#include "platform/sound_sample_buffer.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

enum class DecodeResult {
    decoded,
    missing, // the file cannot be opened
    corrupt, // the reason says why, also for a FIFO, folder, device or socket in the file's place
};

// Decodes one MP3 file completely to interleaved 16-bit stereo at a fixed rate, gaplessly: a file
// with an encoder tag yields exactly the samples that were encoded. Mono is doubled to both sides;
// a file at any other rate is refused as corrupt, the reason naming both rates. Opening reads the
// whole file and its first frame, so almost every fault shows before the (slower) decoding of the
// rest, which may then run on another thread.
class SoundDecoder {
public:
    SoundDecoder();
    ~SoundDecoder();
    SoundDecoder(const SoundDecoder&) = delete;
    SoundDecoder& operator=(const SoundDecoder&) = delete;

    DecodeResult open(const char* fileName, int rate, std::string& reason);
    // Appends every sample of the opened file. False with a reason when decoding breaks down.
    bool decode(SampleBuffer& samples, std::string& reason);

private:
    struct Session;
    std::unique_ptr<Session> session;
};

// Every decoder's first step: the file read whole, opened as every data file is. Decoded when it
// holds bytes; missing; or corrupt with the reason (refused, unreadable or empty).
DecodeResult readSoundFile(const char* fileName, std::vector<unsigned char>& bytes,
                           std::string& reason);

// Both steps in one call, for tools that only need the samples.
DecodeResult decodeSoundFile(const char* fileName, int rate, std::vector<std::int16_t>& samples,
                             std::string& reason);

} // namespace platform
