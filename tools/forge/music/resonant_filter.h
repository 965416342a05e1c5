#pragma once

namespace forge {

// A state-variable filter (trapezoidal integration), stable under fast cutoff sweeps. Set the
// cutoff, then run samples through one of the outputs; setting is the costly part, so sweeping
// callers set it every few samples rather than every sample.
class ResonantFilter {
public:
    // resonance 0 (none) to about 0.95 (near self-oscillation).
    void setCutoff(float cutoffHz, float resonance);

    float lowPass(float input);
    float highPass(float input);
    float bandPass(float input);

private:
    void step(float input);

    float a1 = 0.0f;
    float a2 = 0.0f;
    float a3 = 0.0f;
    float k = 2.0f;
    float state1 = 0.0f;
    float state2 = 0.0f;
    float low = 0.0f;
    float band = 0.0f;
    float high = 0.0f;
};

} // namespace forge
