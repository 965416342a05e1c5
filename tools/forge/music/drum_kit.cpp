#include "forge/music/drum_kit.h"

#include "forge/music/beat_clock.h"
#include "forge/music/oscillator.h"
#include "forge/music/resonant_filter.h"
#include "forge/random_stream.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace forge {

namespace {

constexpr float sampleTime = 1.0f / beat::sampleRate;
// Every hit fades in over this long: noise at full level in its first sample is a click of its
// own, and a loop opens with one.
constexpr float onsetSeconds = 0.0003f;

float noise(RandomStream& random) {
    return random.uniform(-1.0f, 1.0f);
}

// A sine falling fast from a punch to a low body, with a click on top.
float kickSample(float t, float& phase, RandomStream& random) {
    float frequency = 46.0f + 120.0f * std::exp(-t / 0.028f) + 40.0f * std::exp(-t / 0.006f);
    phase += frequency * sampleTime;
    float body = std::sin(phase * 6.2831853f) * std::exp(-t / 0.17f) * std::min(1.0f, t / 0.0015f);
    float click = noise(random) * std::exp(-t / 0.0025f) * 0.35f;
    return std::tanh((body + click) * 1.6f) * 0.9f;
}

// The filter is set up as a band-pass at 3.2 kHz.
float snareSample(float t, Oscillator& low, Oscillator& high, ResonantFilter& filter,
                  RandomStream& random) {
    float tone = (low.sine(185.0f * sampleTime) * 0.6f + high.sine(330.0f * sampleTime) * 0.3f) *
                 std::exp(-t / 0.05f);
    float rattle = filter.bandPass(noise(random)) * std::exp(-t / 0.14f) * 1.6f;
    return tone + rattle;
}

// The filter is set up as a band-pass at 1.3 kHz.
float clapSample(float t, ResonantFilter& filter, RandomStream& random) {
    // Three quick bursts, then the room.
    float bursts = 0.0f;
    for (float start : {0.0f, 0.011f, 0.023f}) {
        if (t >= start) {
            bursts += std::exp(-(t - start) / 0.006f);
        }
    }
    float tail = t >= 0.023f ? std::exp(-(t - 0.023f) / 0.11f) * 0.6f : 0.0f;
    return filter.bandPass(noise(random)) * (bursts + tail) * 2.2f;
}

// Six detuned squares, the classic recipe for a metallic cymbal timbre.
float metalSample(std::array<Oscillator, 6>& partials) {
    static const std::array<float, 6> frequencies = {205.3f, 304.4f, 369.6f,
                                                     522.7f, 540.0f, 800.0f};
    float sum = 0.0f;
    for (std::size_t i = 0; i < partials.size(); ++i) {
        sum += partials[i].pulse(frequencies[i] * 1.7f * sampleTime, 0.5f);
    }
    return sum / 6.0f;
}

float durationOf(Drum drum) {
    switch (drum) {
    case Drum::kick:
        return 0.5f;
    case Drum::snare:
    case Drum::clap:
        return 0.6f;
    case Drum::closedHat:
        return 0.15f;
    case Drum::openHat:
        return 0.6f;
    case Drum::crash:
        return 2.5f;
    }
    return 0.0f;
}

} // namespace

void renderDrumHit(StereoBuffer& out, const DrumHit& hit) {
    std::int64_t start = beat::frameOf(hit.beat);
    auto frames = static_cast<std::int64_t>(durationOf(hit.drum) * beat::sampleRate);
    RandomStream random(static_cast<std::uint64_t>(start) * 7 + static_cast<int>(hit.drum));
    Oscillator low;
    Oscillator high(0.25f);
    ResonantFilter colour;
    ResonantFilter brightness;
    std::array<Oscillator, 6> partials{Oscillator(0.1f), Oscillator(0.7f), Oscillator(0.3f),
                                       Oscillator(0.9f), Oscillator(0.5f), Oscillator(0.2f)};
    colour.setCutoff(hit.drum == Drum::snare ? 3200.0f : 1300.0f,
                     hit.drum == Drum::snare ? 0.3f : 0.45f);
    brightness.setCutoff(hit.drum == Drum::crash ? 4200.0f : 7500.0f,
                         hit.drum == Drum::crash ? 0.1f : 0.2f);
    float kickPhase = 0.0f;
    float leftGain = std::sqrt(0.5f * (1.0f - hit.pan));
    float rightGain = std::sqrt(0.5f * (1.0f + hit.pan));
    for (std::int64_t i = 0; i < frames; ++i) {
        float t = static_cast<float>(i) * sampleTime;
        float sample = 0.0f;
        switch (hit.drum) {
        case Drum::kick:
            sample = kickSample(t, kickPhase, random);
            break;
        case Drum::snare:
            sample = snareSample(t, low, high, colour, random) * 0.55f;
            break;
        case Drum::clap:
            sample = clapSample(t, colour, random) * 0.5f;
            break;
        case Drum::closedHat:
        case Drum::openHat: {
            float decay = hit.drum == Drum::closedHat ? 0.03f : 0.16f;
            float raw = metalSample(partials) * 0.6f + noise(random) * 0.4f;
            sample = brightness.highPass(raw) * std::exp(-t / decay) * 0.65f;
            break;
        }
        case Drum::crash: {
            float raw = metalSample(partials) * 0.4f + noise(random) * 0.6f;
            sample = brightness.highPass(raw) *
                     (std::exp(-t / 0.7f) * 0.8f + std::exp(-t / 0.05f) * 0.4f) * 0.35f;
            break;
        }
        }
        sample *= hit.velocity * std::min(1.0f, t / onsetSeconds);
        out.add(start + i, sample * leftGain, sample * rightGain);
    }
}

} // namespace forge
