#pragma once

namespace forge {

// A phase accumulator with band-limited (polyBLEP) saw and pulse waves, so high notes do not
// alias into audible whistles.
class Oscillator {
public:
    explicit Oscillator(float startPhase = 0.0f) : phase(startPhase) {}

    // Each call returns the current sample and advances by increment, frequency / sampleRate.
    // Every wave swings about zero: a pulse narrower or wider than half is shifted to do so.
    float pulse(float increment, float width);
    // Saw and pulse of the same phase, blended: pulseMix 0 is all saw, 1 all pulse.
    float sawPulse(float increment, float pulseMix, float width);
    float sine(float increment);

private:
    void advance(float increment);

    float phase;
};

} // namespace forge
