#include "forge/music/resonant_filter.h"

#include "forge/music/beat_clock.h"

#include <algorithm>
#include <cmath>

namespace forge {

void ResonantFilter::setCutoff(float cutoffHz, float resonance) {
    float limited = std::clamp(cutoffHz, 20.0f, beat::sampleRate * 0.45f);
    float g = std::tan(3.14159265f * limited / beat::sampleRate);
    k = 2.0f - 2.0f * std::clamp(resonance, 0.0f, 0.98f);
    a1 = 1.0f / (1.0f + g * (g + k));
    a2 = g * a1;
    a3 = g * a2;
}

void ResonantFilter::step(float input) {
    float v3 = input - state2;
    float v1 = a1 * state1 + a2 * v3;
    float v2 = state2 + a2 * state1 + a3 * v3;
    state1 = 2.0f * v1 - state1;
    state2 = 2.0f * v2 - state2;
    low = v2;
    band = v1;
    high = input - k * v1 - v2;
}

float ResonantFilter::lowPass(float input) {
    step(input);
    return low;
}

float ResonantFilter::highPass(float input) {
    step(input);
    return high;
}

float ResonantFilter::bandPass(float input) {
    step(input);
    return band;
}

} // namespace forge
