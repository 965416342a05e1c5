#pragma once

#include "forge/music/synth_voice.h"

#include <string_view>
#include <vector>

namespace forge {

// Reads a line of notes written as NAME/LENGTH, lengths in sixteenths: "E5/4 -/2 A3+C4+E4/16".
// "-" is a rest; "+" stacks notes into a chord; names are a letter, an optional # or b and an
// octave (A4 is 440 Hz). Unreadable tokens are rests. Notes start at startBeat.
std::vector<NoteEvent> parseMelody(std::string_view text, double startBeat, float velocity);

// MIDI note number of a name such as "C#4", or -1 when it is not a note name.
int noteNumber(std::string_view name);

} // namespace forge
