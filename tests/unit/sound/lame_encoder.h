#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace soundtest {

struct Mp3Settings {
    int rate = 44100;
    int channels = 2;
    // VBR quality 0 (best) to 9; negative selects a constant bit rate of cbrKilobits.
    int vbrQuality = 4;
    int cbrKilobits = 128;
    // Without the encoder tag over the first frame, decoders see one extra frame of silence.
    bool writeTag = true;
};

// Encodes interleaved 16-bit samples (channels per frame as in the settings) to an MP3 file image.
std::vector<unsigned char> encodeMp3(const std::vector<std::int16_t>& samples,
                                     const Mp3Settings& settings);

// A reproducible test signal: two sines per side with a slow sweep, so a shift of even one sample
// changes it clearly.
std::vector<std::int16_t> makeSignal(std::uint32_t frames, int channels, int rate);

bool writeBytes(const std::string& fileName, const std::vector<unsigned char>& bytes);

// Encodes the signal and writes it; the path comes back for the code under test.
std::string writeMp3(const std::string& fileName, const std::vector<std::int16_t>& samples,
                     const Mp3Settings& settings = {});

// A fresh directory below the system's temporary directory, removed with its files on destruction.
class ScratchDirectory {
public:
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    std::string file(const std::string& name) const { return path + "/" + name; }

private:
    std::string path;
};

} // namespace soundtest
