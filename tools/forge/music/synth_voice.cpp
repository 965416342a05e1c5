#include "forge/music/synth_voice.h"

#include "forge/music/beat_clock.h"
#include "forge/music/oscillator.h"
#include "forge/music/resonant_filter.h"

#include <algorithm>
#include <cmath>

namespace forge {

namespace {

constexpr float sampleTime = 1.0f / beat::sampleRate;

struct Copy {
    Oscillator oscillator;
    float ratio;
    float leftGain;
    float rightGain;
};

std::vector<Copy> makeCopies(const VoiceDesign& design, int note) {
    std::vector<Copy> copies;
    int count = std::max(design.oscillators, 1);
    for (int i = 0; i < count; ++i) {
        float position = count == 1 ? 0.0f : static_cast<float>(i) / (count - 1) * 2.0f - 1.0f;
        float cents = position * design.detuneCents * 0.5f;
        float pan = std::clamp(design.pan + position * design.stereoSpread, -1.0f, 1.0f);
        // Start phases differ per note and copy so stacked copies do not phase-cancel alike.
        float startPhase = std::fmod(0.37f * static_cast<float>(i) + 0.11f * note, 1.0f);
        copies.push_back({Oscillator(startPhase), std::pow(2.0f, cents / 1200.0f),
                          std::sqrt(0.5f * (1.0f - pan)) / std::sqrt(static_cast<float>(count)),
                          std::sqrt(0.5f * (1.0f + pan)) / std::sqrt(static_cast<float>(count))});
    }
    return copies;
}

// Envelopes, vibrato and cutoff change slowly: they are computed every controlPeriod samples,
// the amplitude ramped linearly between, so the costly exp and tan calls stay rare.
constexpr int controlPeriod = 16;

void renderNote(StereoBuffer& out, const NoteEvent& event, const VoiceDesign& design,
                const Automation& brightness) {
    std::vector<Copy> copies = makeCopies(design, event.note);
    ResonantFilter leftFilter;
    ResonantFilter rightFilter;
    Oscillator body;
    float frequency = noteFrequency(event.note);
    float gate = static_cast<float>(beat::secondsOf(event.length));
    std::int64_t start = beat::frameOf(event.beat);
    auto frames = static_cast<std::int64_t>(design.amplitude.duration(gate) * beat::sampleRate);
    frames = std::min(frames, out.frames() - start);
    float baseCutoff = design.cutoffHz * (0.08f + 0.92f * brightness(event.beat));
    float level = 0.0f;
    float levelStep = 0.0f;
    float pitch = frequency;
    for (std::int64_t i = 0; i < frames; ++i) {
        if (i % controlPeriod == 0) {
            float t = static_cast<float>(i) * sampleTime;
            float ahead = t + controlPeriod * sampleTime;
            float target = design.amplitude.level(ahead, gate) * design.gain * event.velocity;
            levelStep = (target - level) / controlPeriod;
            if (design.vibratoDepth > 0.0f) {
                float depth =
                    design.vibratoDepth * std::clamp((t - design.vibratoDelay) * 3.0f, 0.0f, 1.0f);
                pitch = frequency * std::pow(2.0f, depth * std::sin(t * 6.28318f * 5.5f) / 12.0f);
            }
            float cutoff =
                baseCutoff + design.envelopeAmountHz * design.filterEnvelope.level(t, gate);
            leftFilter.setCutoff(cutoff, design.resonance);
            rightFilter.setCutoff(cutoff, design.resonance);
        }
        float left = 0.0f;
        float right = 0.0f;
        for (Copy& copy : copies) {
            float increment = pitch * copy.ratio * sampleTime;
            float wave = copy.oscillator.sawPulse(increment, design.pulseMix, design.pulseWidth);
            left += wave * copy.leftGain;
            right += wave * copy.rightGain;
        }
        float bodyWave =
            design.bodyMix > 0.0f ? body.sine(pitch * sampleTime) * design.bodyMix : 0.0f;
        left = leftFilter.lowPass(left + bodyWave);
        right = rightFilter.lowPass(right + bodyWave);
        level += levelStep;
        out.add(start + i, left * level, right * level);
    }
}

} // namespace

float noteFrequency(int note) {
    return 440.0f * std::pow(2.0f, (note - 69) / 12.0f);
}

void renderVoices(StereoBuffer& out, const std::vector<NoteEvent>& notes, const VoiceDesign& design,
                  const Automation& brightness) {
    for (const NoteEvent& note : notes) {
        renderNote(out, note, design, brightness);
    }
}

} // namespace forge
