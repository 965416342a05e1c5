#pragma once

namespace forge {

// Attack, decay, sustain, release; times in seconds, sustain a level from 0 to 1.
struct Envelope {
    float attack = 0.005f;
    float decay = 0.1f;
    float sustain = 0.7f;
    float release = 0.2f;

    // The level at time t after the note began, for a note held for gate seconds.
    float level(float t, float gate) const;
    // How long the note sounds in all: gate plus the release, trimmed to where it is inaudible.
    float duration(float gate) const { return gate + release * 5.0f; }
};

} // namespace forge
