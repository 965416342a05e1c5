#pragma once

#include "forge/music/stereo_buffer.h"

namespace forge {

// A ping-pong echo: each repeat crosses to the other side, darker than the last.
void applyPingPongDelay(const StereoBuffer& input, StereoBuffer& output, double delayBeats,
                        float feedback, float dampingHz);

} // namespace forge
