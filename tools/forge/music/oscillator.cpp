#include "forge/music/oscillator.h"

#include <cmath>

namespace forge {

namespace {

// The polynomial correction of a unit step at phase 0, for a phase t in [0, 1) advancing by dt.
float polyBlep(float t, float dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0f;
    }
    if (t > 1.0f - dt) {
        t = (t - 1.0f) / dt;
        return t * t + t + t + 1.0f;
    }
    return 0.0f;
}

float wrap(float t) {
    return t - std::floor(t);
}

// Centred on zero whatever its width: a narrow pulse's own mean would be a DC offset that the
// filters, the reverb and the side-chain then carry into the whole mix.
float centredPulse(float phase, float width, float increment) {
    float value = phase < width ? 1.0f : -1.0f;
    value += polyBlep(phase, increment);
    value -= polyBlep(wrap(phase - width), increment);
    return value - (2.0f * width - 1.0f);
}

} // namespace

void Oscillator::advance(float increment) {
    phase += increment;
    if (phase >= 1.0f) {
        phase -= 1.0f;
    }
}

float Oscillator::pulse(float increment, float width) {
    float value = centredPulse(phase, width, increment);
    advance(increment);
    return value;
}

float Oscillator::sawPulse(float increment, float pulseMix, float width) {
    float sawValue = 2.0f * phase - 1.0f - polyBlep(phase, increment);
    float pulseValue = centredPulse(phase, width, increment);
    advance(increment);
    return sawValue + (pulseValue - sawValue) * pulseMix;
}

float Oscillator::sine(float increment) {
    float value = std::sin(phase * 6.28318530718f);
    advance(increment);
    return value;
}

} // namespace forge
