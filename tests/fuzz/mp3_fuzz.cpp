#include "platform/sound_decoder.h"
#include "platform/sound_sample_buffer.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

constexpr int mixRate = 44100;

// The sound system opens loops by file name, so every input goes through a real file. In
// /dev/shm where there is one: the fuzzer writes it thousands of times a second.
const std::string& scratchFile() {
    static const std::string path = [] {
        const char* directory = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        return std::string(directory) + "/lumivaha-mp3-fuzz-" + std::to_string(getpid()) + ".mp3";
    }();
    return path;
}

void removeScratchFile() {
    std::remove(scratchFile().c_str());
}

bool writeScratchFile(const std::uint8_t* data, std::size_t size) {
    std::FILE* file = std::fopen(scratchFile().c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

// What the mixer would read: every sample the decoder says it delivered.
std::int64_t touchEverySample(const platform::SampleBuffer& samples) {
    std::int64_t sum = 0;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        sum += samples.data()[i];
    }
    return sum;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::atexit(removeScratchFile);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!writeScratchFile(data, size)) {
        std::abort();
    }
    platform::SoundDecoder decoder;
    std::string reason;
    const platform::DecodeResult opened = decoder.open(scratchFile().c_str(), mixRate, reason);
    if (opened == platform::DecodeResult::missing) {
        std::abort(); // the file is right there
    }
    if (opened == platform::DecodeResult::corrupt) {
        // A rejection always says why: it becomes the user's message.
        if (reason.empty()) {
            std::abort();
        }
        return 0;
    }
    platform::SampleBuffer samples;
    if (!decoder.decode(samples, reason)) {
        if (reason.empty()) {
            std::abort();
        }
        return 0;
    }
    // Decoded audio is whole stereo frames, and at least one of them. The buffer is mapped
    // memory, outside the address sanitizer's view, so its bounds are checked here.
    if (samples.size() == 0 || samples.size() % 2 != 0 || samples.size() > samples.capacity()) {
        std::abort();
    }
    volatile std::int64_t sink = touchEverySample(samples);
    static_cast<void>(sink);
    return 0;
}
