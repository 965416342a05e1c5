#pragma once

#include "stereo_buffer.h"

#include <string>
#include <vector>

namespace forge {

// VBR MP3 at 44.1 kHz stereo with the encoder's delay and padding recorded in its tag frame, so
// a gapless decoder returns exactly the buffer's frames. False, with reason, when encoding fails.
bool encodeMp3(const StereoBuffer& buffer, std::vector<unsigned char>& bytes, std::string& reason);

} // namespace forge
