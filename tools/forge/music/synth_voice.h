#pragma once

#include "forge/music/envelope.h"
#include "forge/music/stereo_buffer.h"

#include <functional>
#include <vector>

namespace forge {

struct NoteEvent {
    double beat = 0.0;   // start, in beats from the loop's start
    double length = 1.0; // gate, in beats
    int note = 69;       // MIDI note number, 69 is A4 at 440 Hz
    float velocity = 1.0f;
};

// The sound of one instrument: detuned oscillators through a resonant low-pass filter.
struct VoiceDesign {
    int oscillators = 1;       // detuned copies, spread across the stereo field
    float detuneCents = 0.0f;  // between the outermost copies
    float stereoSpread = 0.0f; // 0 mono to 1 outermost copies hard left and right
    float pulseMix = 0.0f;     // 0 pure saw to 1 pure pulse
    float pulseWidth = 0.5f;
    float bodyMix = 0.0f; // a sine at the note's own pitch, for weight
    Envelope amplitude;
    Envelope filterEnvelope;
    float cutoffHz = 2000.0f;      // at full brightness, before the envelope
    float envelopeAmountHz = 0.0f; // added at the envelope's peak
    float resonance = 0.2f;
    float vibratoDepth = 0.0f; // semitones, fading in after vibratoDelay seconds
    float vibratoDelay = 0.3f;
    float gain = 0.2f;
    float pan = 0.0f;
};

// Brightness from 0 to 1 as a function of the beat: scales the filter's base cutoff.
using Automation = std::function<float(double beat)>;

float noteFrequency(int note);

// Renders every note of one instrument into out.
void renderVoices(StereoBuffer& out, const std::vector<NoteEvent>& notes, const VoiceDesign& design,
                  const Automation& brightness);

} // namespace forge
