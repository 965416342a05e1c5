#pragma once

#include "platform/sound_decoder.h"
#include "platform/sound_sample_buffer.h"

#include <cstdint>
#include <memory>
#include <string>
#include <thread>

namespace platform {

// Where a stream stands in playback. Written by the main thread and read by the audio thread,
// always with the device locked.
struct StreamPlayback {
    // Where playback resumes; while on a channel, the stream frame its current run started from.
    std::uint32_t position = 0;
    // The device frame that received the current run's first sample.
    std::uint64_t runStart = 0;
    int channel = -1; // -1 while no channel plays it
};

// One decoded MP3 loop. Decoding goes on in the background after the file has been read and its
// first frame checked, so several loops decode at once; whoever needs the samples waits for them.
class SoundStream {
public:
    SoundStream(std::string fileName, std::unique_ptr<SoundDecoder> decoder);
    ~SoundStream();
    SoundStream(const SoundStream&) = delete;
    SoundStream& operator=(const SoundStream&) = delete;

    // Waits until every sample is there. A file that fails to decode ends the process with
    // status 1 through the fatal path, naming the file and the reason.
    void finishDecoding();

    // Valid after finishDecoding.
    const std::int16_t* samples() const { return buffer.data(); }
    std::uint32_t frameCount() const { return frames; }

    StreamPlayback playback;

private:
    std::string fileName;
    SampleBuffer buffer;
    std::uint32_t frames = 0;
    std::string failure;
    bool failed = false;
    std::thread decoding;
};

} // namespace platform
