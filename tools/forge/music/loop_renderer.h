#pragma once

#include "forge/music/song.h"
#include "forge/music/stereo_buffer.h"

namespace forge {

// Plays a score: 15.0 s of 44.1 kHz stereo, peaking at peakLevel, with nothing starting after
// beat 32 and a fade to silence in the last 0.1 s.
StereoBuffer renderLoop(const LoopScore& score);

constexpr float peakLevel = 0.84f; // about -1.5 dBFS, headroom for the MP3 encoder's ripple

} // namespace forge
