#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

// Writes interleaved 16-bit stereo samples as a PCM WAV file. False with a reason on failure.
bool writeWavFile(const char* fileName, const std::int16_t* samples, std::size_t sampleCount,
                  int rate, std::string& reason);

} // namespace platform
