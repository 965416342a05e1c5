#pragma once

#include "forge/music/stereo_buffer.h"

namespace forge {

enum class Drum { kick, snare, clap, closedHat, openHat, crash };

struct DrumHit {
    double beat = 0.0;
    Drum drum = Drum::kick;
    float velocity = 1.0f;
    float pan = 0.0f; // -1 left to 1 right
};

// Synthesises one hit into the buffer, starting at the hit's beat.
void renderDrumHit(StereoBuffer& out, const DrumHit& hit);

} // namespace forge
