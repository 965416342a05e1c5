#include "forge/music/loop_renderer.h"

#include "forge/music/beat_clock.h"
#include "forge/music/resonant_filter.h"
#include "forge/music/reverb.h"
#include "forge/music/stereo_delay.h"
#include "forge/random_stream.h"

#include <algorithm>
#include <cmath>

namespace forge {

namespace {

VoiceDesign bassDesign() {
    VoiceDesign design;
    design.oscillators = 2;
    design.detuneCents = 8.0f;
    design.pulseMix = 0.35f;
    design.bodyMix = 0.5f;
    design.amplitude = {0.003f, 0.12f, 0.75f, 0.03f};
    design.filterEnvelope = {0.001f, 0.09f, 0.0f, 0.05f};
    design.cutoffHz = 380.0f;
    design.envelopeAmountHz = 1400.0f;
    design.resonance = 0.45f;
    design.gain = 0.24f;
    return design;
}

VoiceDesign padDesign() {
    VoiceDesign design;
    design.oscillators = 5;
    design.detuneCents = 28.0f;
    design.stereoSpread = 0.9f;
    design.amplitude = {0.5f, 1.2f, 0.8f, 0.9f};
    design.filterEnvelope = {1.5f, 2.0f, 0.5f, 1.0f};
    design.cutoffHz = 2600.0f;
    design.envelopeAmountHz = 600.0f;
    design.resonance = 0.3f;
    design.gain = 0.09f;
    return design;
}

VoiceDesign pluckDesign() {
    VoiceDesign design;
    design.oscillators = 2;
    design.detuneCents = 10.0f;
    design.stereoSpread = 0.5f;
    design.pulseMix = 0.5f;
    design.pulseWidth = 0.3f;
    design.amplitude = {0.002f, 0.16f, 0.0f, 0.08f};
    design.filterEnvelope = {0.001f, 0.1f, 0.0f, 0.05f};
    design.cutoffHz = 1800.0f;
    design.envelopeAmountHz = 2600.0f;
    design.resonance = 0.55f;
    design.gain = 0.13f;
    return design;
}

VoiceDesign leadDesign() {
    VoiceDesign design;
    design.oscillators = 3;
    design.detuneCents = 14.0f;
    design.stereoSpread = 0.3f;
    design.pulseMix = 0.25f;
    design.amplitude = {0.008f, 0.35f, 0.7f, 0.18f};
    design.filterEnvelope = {0.005f, 0.3f, 0.3f, 0.2f};
    design.cutoffHz = 2400.0f;
    design.envelopeAmountHz = 2200.0f;
    design.resonance = 0.35f;
    design.vibratoDepth = 0.18f;
    design.vibratoDelay = 0.25f;
    design.gain = 0.13f;
    return design;
}

Automation constant(float value) {
    return [value](double) { return value; };
}

// Gain of the ducked instruments: pulled down at every kick, recovering over a beat's fraction.
std::vector<float> sidechainCurve(const std::vector<DrumHit>& drums) {
    std::vector<float> curve(static_cast<std::size_t>(beat::loopFrames), 1.0f);
    for (const DrumHit& hit : drums) {
        if (hit.drum != Drum::kick) {
            continue;
        }
        std::int64_t start = beat::frameOf(hit.beat);
        for (std::int64_t i = 0; i < beat::sampleRate / 2 && start + i < beat::loopFrames; ++i) {
            float t = static_cast<float>(i) / beat::sampleRate;
            float duck = 1.0f - 0.7f * hit.velocity * std::exp(-t / 0.09f);
            auto& gain = curve[static_cast<std::size_t>(start + i)];
            gain = std::min(gain, duck);
        }
    }
    return curve;
}

void renderRiser(StereoBuffer& out, const Riser& riser) {
    std::int64_t start = beat::frameOf(riser.startBeat);
    std::int64_t end = beat::frameOf(riser.endBeat);
    RandomStream random(static_cast<std::uint64_t>(start) + 99);
    ResonantFilter left;
    ResonantFilter right;
    for (std::int64_t i = start; i < end; ++i) {
        float progress = static_cast<float>(i - start) / static_cast<float>(end - start);
        if ((i - start) % 16 == 0) {
            float cutoff = 300.0f * std::pow(40.0f, progress);
            left.setCutoff(cutoff, 0.6f);
            right.setCutoff(cutoff, 0.6f);
        }
        float level = riser.level * progress * progress * 0.5f;
        out.add(i, left.bandPass(random.uniform(-1.0f, 1.0f)) * level,
                right.bandPass(random.uniform(-1.0f, 1.0f)) * level);
    }
}

void applyGainCurve(StereoBuffer& buffer, const std::vector<float>& curve) {
    for (std::size_t i = 0; i < buffer.left.size(); ++i) {
        buffer.left[i] *= curve[i];
        buffer.right[i] *= curve[i];
    }
}

// A one-pole high-pass at a few hertz: the kick's and the snare's first half-waves outweigh their
// later ones, and every hit would otherwise push the mix's mean off zero. It starts at rest, as
// the loop itself does, so a loop still begins from silence.
constexpr float dcCutoffHz = 5.0f;

void removeDcOffset(std::vector<float>& channel) {
    const float pole = std::exp(-2.0f * 3.14159265f * dcCutoffHz / beat::sampleRate);
    float previousInput = 0.0f;
    float previousOutput = 0.0f;
    for (float& sample : channel) {
        float output = sample - previousInput + pole * previousOutput;
        previousInput = sample;
        previousOutput = output;
        sample = output;
    }
}

// Soft saturation, then scaling to the target peak, then the fade at the very end.
void master(StereoBuffer& mix) {
    float peak = 0.0f;
    for (std::vector<float>* channel : {&mix.left, &mix.right}) {
        for (float& sample : *channel) {
            sample = std::tanh(sample * 0.7f) / 0.7f;
            peak = std::max(peak, std::fabs(sample));
        }
    }
    float gain = peak > 0.0f ? peakLevel / peak : 1.0f;
    const std::int64_t fadeFrames = beat::sampleRate / 10;
    for (std::int64_t i = 0; i < mix.frames(); ++i) {
        float fade = 1.0f;
        std::int64_t remaining = mix.frames() - i;
        if (remaining < fadeFrames) {
            fade = 0.5f - 0.5f * std::cos(3.14159265f * static_cast<float>(remaining) / fadeFrames);
        }
        mix.left[static_cast<std::size_t>(i)] *= gain * fade;
        mix.right[static_cast<std::size_t>(i)] *= gain * fade;
    }
}

} // namespace

StereoBuffer renderLoop(const LoopScore& score) {
    const std::int64_t frames = beat::loopFrames;
    StereoBuffer drums(frames);
    StereoBuffer ducked(frames);
    StereoBuffer delaySend(frames);
    StereoBuffer reverbSend(frames);
    for (const DrumHit& hit : score.drums) {
        renderDrumHit(drums, hit);
        if (hit.drum == Drum::snare || hit.drum == Drum::clap) {
            renderDrumHit(reverbSend, {hit.beat, hit.drum, hit.velocity * 0.3f, hit.pan});
        }
    }
    renderVoices(ducked, score.bass, bassDesign(), constant(1.0f));

    StereoBuffer pad(frames);
    renderVoices(pad, score.pad, padDesign(), score.padBrightness);
    ducked.mix(pad, 1.0f);
    reverbSend.mix(pad, 0.5f);

    StereoBuffer pluck(frames);
    renderVoices(pluck, score.pluck, pluckDesign(), score.pluckBrightness);
    ducked.mix(pluck, 1.0f);
    delaySend.mix(pluck, 0.45f);
    reverbSend.mix(pluck, 0.25f);

    StereoBuffer lead(frames);
    renderVoices(lead, score.lead, leadDesign(), constant(1.0f));
    delaySend.mix(lead, 0.35f);
    reverbSend.mix(lead, 0.35f);

    for (const Riser& riser : score.risers) {
        renderRiser(ducked, riser);
    }
    applyGainCurve(ducked, sidechainCurve(score.drums));

    StereoBuffer mix(frames);
    mix.mix(drums, 1.0f);
    mix.mix(ducked, 1.0f);
    mix.mix(lead, 1.0f);
    applyPingPongDelay(delaySend, mix, 0.75, 0.42f, 3500.0f);
    applyReverb(reverbSend, mix, 0.86f, 0.35f);
    removeDcOffset(mix.left);
    removeDcOffset(mix.right);
    master(mix);
    return mix;
}

} // namespace forge
