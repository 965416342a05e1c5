#pragma once

#include "forge/music/stereo_buffer.h"

namespace forge {

// A small hall: parallel damped comb filters into series all-passes, per channel, the two
// channels tuned apart for width. Adds the wet signal only.
void applyReverb(const StereoBuffer& input, StereoBuffer& output, float roomSize, float damping);

} // namespace forge
