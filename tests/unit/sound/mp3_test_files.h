#pragma once

#include "common/mp3_encoder.h"
#include "support/scratch_directory.h"

#include <cstdint>
#include <string>
#include <vector>

namespace soundtest {

// The MP3 file image of interleaved 16-bit samples; throws when the encoder fails.
std::vector<unsigned char> mp3Bytes(const std::vector<std::int16_t>& samples,
                                    const Mp3Settings& settings);

// A reproducible test signal: two sines per side with a slow sweep, so a shift of even one sample
// changes it clearly.
std::vector<std::int16_t> makeSignal(std::uint32_t frames, int channels, int rate);

bool writeBytes(const std::string& fileName, const std::vector<unsigned char>& bytes);

// Encodes the signal and writes it; the path comes back for the code under test.
std::string writeMp3(const std::string& fileName, const std::vector<std::int16_t>& samples,
                     const Mp3Settings& settings = {});

} // namespace soundtest
