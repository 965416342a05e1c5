#pragma once

#include "forge/music/stereo_buffer.h"

#include <vector>

namespace forge {

// A 16-bit PCM WAV file of the buffer at 44.1 kHz: for listening to and measuring the music.
std::vector<unsigned char> encodeWav(const StereoBuffer& buffer);

} // namespace forge
