#pragma once

#include "forge/music/drum_kit.h"
#include "forge/music/synth_voice.h"

#include <vector>

namespace forge {

// A rising filtered-noise sweep, used to build tension into a downbeat.
struct Riser {
    double startBeat = 0.0;
    double endBeat = 0.0;
    float level = 0.0f;
};

// Everything one loop plays; the loop renderer turns it into sound.
struct LoopScore {
    std::vector<NoteEvent> bass;
    std::vector<NoteEvent> pad;
    std::vector<NoteEvent> pluck;
    std::vector<NoteEvent> lead;
    std::vector<DrumHit> drums;
    std::vector<Riser> risers;
    Automation padBrightness;
    Automation pluckBrightness;
};

// The score of "loop1.mp3" to "loop5.mp3" (number 1 to 5). Loops 1 to 4 share key (A minor) and
// tempo so any may follow any; loop 5 is the opening and builds up into the first of them.
LoopScore loopScore(int number);

} // namespace forge
