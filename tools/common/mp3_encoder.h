#pragma once

// MP3 files for the data set's loops and the sound system's tests, encoded with LAME.
//
// Variable bit rate at the given quality (0 best to 9), or a constant bit rate. With the tag
// frame written over the encoder's placeholder, the file records the encoder's delay and padding,
// so a gapless decoder returns exactly the frames encoded; without it, decoders see an extra frame
// of silence. No ID3 tags, which would carry the library's version. Stereo is joint stereo. The
// same samples and settings always give the same bytes. False, with the reason, when LAME fails.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

struct Mp3Settings {
    int rate = 44100;
    int channels = 2;
    // VBR quality 0 (best) to 9; negative selects a constant bit rate of cbrKilobits.
    float vbrQuality = 4.0f;
    int cbrKilobits = 128;
    bool writeTag = true;
};

// Stereo from two sample arrays of equal length, full scale at +-1.
bool encodeMp3(std::span<const float> left, std::span<const float> right,
               const Mp3Settings& settings, std::vector<std::uint8_t>& bytes, std::string& reason);

// Interleaved 16-bit samples, settings.channels to a frame.
bool encodeMp3(std::span<const std::int16_t> samples, const Mp3Settings& settings,
               std::vector<std::uint8_t>& bytes, std::string& reason);
