#include "forge/music/envelope.h"

#include <cmath>

namespace forge {

namespace {

float heldLevel(const Envelope& envelope, float t) {
    if (t < envelope.attack) {
        return t / envelope.attack;
    }
    float sinceDecay = t - envelope.attack;
    return envelope.sustain +
           (1.0f - envelope.sustain) * std::exp(-sinceDecay / std::max(envelope.decay, 1e-4f));
}

} // namespace

float Envelope::level(float t, float gate) const {
    if (t < 0.0f) {
        return 0.0f;
    }
    if (t < gate) {
        return heldLevel(*this, t);
    }
    // Release from wherever the held part had got to, so a short note does not click.
    float atGate = heldLevel(*this, gate);
    return atGate * std::exp(-(t - gate) / std::max(release, 1e-4f));
}

} // namespace forge
