#include "forge/music/song.h"

#include "forge/music/beat_clock.h"
#include "forge/music/melody.h"

#include <cmath>
#include <string>

namespace forge {

namespace {

struct Chord {
    const char* bass; // root, from G2 to F3: below that belongs to the kick
    const char* pad;  // close voicing around middle C
    int arp[4];       // root, third, fifth and octave above middle C
};

const Chord aMinor{"A2", "A3+C4+E4", {69, 72, 76, 81}};
const Chord fMajor{"F3", "A3+C4+F4", {65, 69, 72, 77}};
const Chord cMajor{"C3", "G3+C4+E4", {64, 67, 72, 76}};
const Chord gMajor{"G2", "G3+B3+D4", {62, 67, 71, 74}};
const Chord dMinor{"D3", "A3+D4+F4", {62, 65, 69, 74}};
const Chord eMajor{"E3", "G#3+B3+E4", {64, 68, 71, 76}};

// Four chords of two bars each fill the 32 beats.
using Progression = std::array<const Chord*, 4>;

void append(std::vector<NoteEvent>& target, const std::vector<NoteEvent>& notes) {
    target.insert(target.end(), notes.begin(), notes.end());
}

void addPads(LoopScore& score, const Progression& chords, double fromBeat, float velocity) {
    for (std::size_t i = 0; i < chords.size(); ++i) {
        double start = static_cast<double>(i) * 8.0;
        if (start >= fromBeat) {
            append(score.pad, parseMelody(std::string(chords[i]->pad) + "/32", start, velocity));
        }
    }
}

enum class BassStyle { rolling, offbeat, octaves };

void addBass(LoopScore& score, const Progression& chords, BassStyle style, double fromBeat) {
    for (int beatIndex = static_cast<int>(fromBeat); beatIndex < beat::beatsPerLoop; ++beatIndex) {
        const Chord& chord = *chords[static_cast<std::size_t>(beatIndex / 8)];
        int root = noteNumber(chord.bass);
        double at = beatIndex;
        // The kick owns the downbeat; the bass answers in the gaps.
        switch (style) {
        case BassStyle::rolling:
            for (int step = 1; step < 4; ++step) {
                score.bass.push_back({at + step * 0.25, 0.2, root, step == 1 ? 1.0f : 0.8f});
            }
            break;
        case BassStyle::offbeat:
            score.bass.push_back({at + 0.5, 0.4, root, 1.0f});
            break;
        case BassStyle::octaves:
            for (int step = 1; step < 4; ++step) {
                score.bass.push_back({at + step * 0.25, 0.2, root + (step == 2 ? 12 : 0), 0.9f});
            }
            break;
        }
    }
}

// Sixteenth-note arpeggio through the chord, order given by pattern (indices into the arp).
void addArpeggio(LoopScore& score, const Progression& chords, const int (&pattern)[8],
                 double fromBeat, double toBeat, float velocity) {
    for (double at = fromBeat; at < toBeat; at += 0.25) {
        const Chord& chord = *chords[static_cast<std::size_t>(at / 8.0)];
        int step = static_cast<int>(std::lround(at * 4.0)) % 8;
        float accent = step % 4 == 0 ? 1.0f : 0.75f;
        score.pluck.push_back({at, 0.2, chord.arp[pattern[step]], velocity * accent});
    }
}

void addKicks(LoopScore& score, float velocity) {
    for (int beatIndex = 0; beatIndex < beat::beatsPerLoop; ++beatIndex) {
        score.drums.push_back({static_cast<double>(beatIndex), Drum::kick, velocity, 0.0f});
    }
}

// Claps or snares on the backbeat (the second and fourth beat of every bar).
void addBackbeat(LoopScore& score, Drum drum, double fromBeat, float velocity) {
    for (double at = fromBeat + 1.0; at < beat::beatsPerLoop; at += 2.0) {
        score.drums.push_back({at, drum, velocity, 0.1f});
    }
}

void addHats(LoopScore& score, bool sixteenths, bool openOffbeats, double fromBeat) {
    double step = sixteenths ? 0.25 : 0.5;
    for (double at = fromBeat; at < beat::beatsPerLoop; at += step) {
        double inBeat = at - std::floor(at);
        if (openOffbeats && inBeat == 0.5) {
            score.drums.push_back({at, Drum::openHat, 0.8f, 0.3f});
            continue;
        }
        float velocity = inBeat == 0.0 ? 0.5f : (inBeat == 0.5 ? 0.8f : 0.4f);
        score.drums.push_back({at, Drum::closedHat, velocity, -0.25f});
    }
}

// A snare run over the last beats, rising in density and loudness into the next downbeat.
void addSnareFill(LoopScore& score, double fromBeat) {
    for (double at = fromBeat; at < beat::beatsPerLoop; at += 0.25) {
        float progress = static_cast<float>((at - fromBeat) / (beat::beatsPerLoop - fromBeat));
        bool eighthsOnly = progress < 0.5f;
        if (eighthsOnly && at - std::floor(at * 2.0) / 2.0 > 0.0) {
            continue;
        }
        score.drums.push_back({at, Drum::snare, 0.35f + 0.65f * progress, -0.1f});
    }
}

// A slow swell of the filters, one cycle every four bars.
Automation swell(float base, float depth) {
    return [base, depth](double at) {
        return base + depth * static_cast<float>(std::sin(at / 16.0 * 3.14159265358979));
    };
}

LoopScore firstLoop() {
    Progression chords{&aMinor, &fMajor, &cMajor, &gMajor};
    LoopScore score;
    addKicks(score, 1.0f);
    addBackbeat(score, Drum::clap, 0.0, 0.9f);
    addHats(score, true, true, 0.0);
    score.drums.push_back({0.0, Drum::crash, 0.8f, 0.0f});
    addPads(score, chords, 0.0, 0.8f);
    addBass(score, chords, BassStyle::rolling, 0.0);
    const int pattern[8] = {0, 2, 1, 2, 3, 2, 1, 2};
    addArpeggio(score, chords, pattern, 0.0, 32.0, 0.6f);
    append(score.lead, parseMelody("E5/4 A5/4 G5/2 E5/2 -/4 C5/6 D5/2 E5/8 "
                                   "F5/4 E5/2 C5/2 A4/8 -/4 A4/2 C5/2 F5/4 E5/4 "
                                   "G5/6 E5/2 C5/4 E5/4 D5/4 C5/4 E5/8 "
                                   "D5/4 B4/2 G4/2 D5/4 G5/4 B4/6 C5/2 D5/4 E5/4",
                                   0.0, 0.9f));
    score.padBrightness = swell(0.5f, 0.2f);
    score.pluckBrightness = swell(0.45f, 0.3f);
    return score;
}

LoopScore secondLoop() {
    Progression chords{&fMajor, &gMajor, &aMinor, &aMinor};
    LoopScore score;
    addKicks(score, 1.0f);
    addBackbeat(score, Drum::snare, 0.0, 0.8f);
    addBackbeat(score, Drum::clap, 0.0, 0.5f);
    addHats(score, false, true, 0.0);
    addPads(score, chords, 0.0, 0.9f);
    addBass(score, chords, BassStyle::offbeat, 0.0);
    const int pattern[8] = {0, 1, 2, 3, 0, 1, 2, 3};
    addArpeggio(score, chords, pattern, 0.0, 32.0, 0.75f);
    append(score.lead, parseMelody("A5/6 G5/2 F5/4 E5/4 C5/12 -/4 "
                                   "D5/6 E5/2 G5/4 D5/4 B4/12 -/4 "
                                   "C6/4 B5/4 A5/4 E5/4 G5/4 A5/4 E5/8 "
                                   "-/8 C5/2 D5/2 E5/4 A4/12 -/4",
                                   0.0, 0.85f));
    score.risers.push_back({24.0, 32.0, 0.5f});
    score.padBrightness = swell(0.4f, 0.25f);
    score.pluckBrightness = [](double at) { return 0.25f + 0.6f * static_cast<float>(at / 32.0); };
    return score;
}

LoopScore thirdLoop() {
    Progression chords{&dMinor, &aMinor, &fMajor, &eMajor};
    LoopScore score;
    addKicks(score, 1.0f);
    addBackbeat(score, Drum::clap, 0.0, 0.9f);
    addHats(score, true, false, 0.0);
    addPads(score, chords, 0.0, 0.85f);
    addBass(score, chords, BassStyle::rolling, 0.0);
    const int pattern[8] = {3, 2, 1, 0, 1, 2, 3, 2};
    addArpeggio(score, chords, pattern, 0.0, 32.0, 0.55f);
    append(score.lead, parseMelody("F5/4 E5/2 D5/2 A5/8 G5/2 F5/2 E5/4 D5/8 "
                                   "C5/4 D5/2 E5/2 A4/8 -/4 E5/4 C5/4 A4/4 "
                                   "A5/6 G5/2 F5/4 C5/4 F5/4 G5/4 A5/8 "
                                   "G#5/6 F5/2 E5/4 D5/4 E5/4 D5/4 B4/4 G#4/4",
                                   0.0, 0.9f));
    score.padBrightness = swell(0.55f, 0.15f);
    score.pluckBrightness = swell(0.5f, 0.25f);
    return score;
}

LoopScore fourthLoop() {
    Progression chords{&aMinor, &gMajor, &fMajor, &eMajor};
    LoopScore score;
    addKicks(score, 1.0f);
    addBackbeat(score, Drum::snare, 0.0, 0.9f);
    addBackbeat(score, Drum::clap, 0.0, 0.6f);
    addHats(score, true, true, 0.0);
    score.drums.push_back({0.0, Drum::crash, 0.9f, 0.0f});
    score.drums.push_back({16.0, Drum::crash, 0.7f, 0.0f});
    addSnareFill(score, 30.0);
    addPads(score, chords, 0.0, 0.8f);
    addBass(score, chords, BassStyle::octaves, 0.0);
    const int pattern[8] = {0, 1, 2, 1, 3, 1, 2, 1};
    addArpeggio(score, chords, pattern, 0.0, 32.0, 0.5f);
    append(score.lead, parseMelody("A4/2 C5/2 E5/2 A5/2 G5/2 E5/2 C5/2 E5/2 "
                                   "A5/4 G5/2 A5/2 B5/4 C6/4 "
                                   "G4/2 B4/2 D5/2 G5/2 F5/2 D5/2 B4/2 D5/2 "
                                   "G5/4 F5/2 G5/2 A5/4 B5/4 "
                                   "F4/2 A4/2 C5/2 F5/2 E5/2 C5/2 A4/2 C5/2 "
                                   "F5/4 E5/2 F5/2 G5/4 A5/4 "
                                   "E5/2 G#5/2 B5/2 E6/2 D6/2 B5/2 G#5/2 B5/2 "
                                   "C6/4 B5/4 G#5/4 E5/4",
                                   0.0, 0.8f));
    score.padBrightness = swell(0.6f, 0.2f);
    score.pluckBrightness = swell(0.6f, 0.25f);
    return score;
}

// The opening: a heartbeat kick under a pad that opens up, the arpeggio from bar three, the
// drums and the melody's first phrase when the second title appears (beat 16), and a snare run
// with a noise sweep into the first full loop.
LoopScore openingLoop() {
    Progression chords{&aMinor, &fMajor, &cMajor, &gMajor};
    LoopScore score;
    for (int beatIndex = 0; beatIndex < beat::beatsPerLoop; ++beatIndex) {
        float velocity = beatIndex < 16 ? 0.75f + 0.01f * beatIndex : 1.0f;
        score.drums.push_back({static_cast<double>(beatIndex), Drum::kick, velocity, 0.0f});
    }
    score.drums.push_back({16.0, Drum::crash, 0.8f, 0.0f});
    addHats(score, false, true, 16.0);
    addBackbeat(score, Drum::clap, 16.0, 0.7f);
    addSnareFill(score, 24.0);
    score.risers.push_back({16.0, 32.0, 0.7f});
    addPads(score, chords, 0.0, 1.0f);
    addBass(score, chords, BassStyle::offbeat, 16.0);
    const int pattern[8] = {0, 2, 1, 2, 3, 2, 1, 2};
    addArpeggio(score, chords, pattern, 8.0, 32.0, 0.6f);
    append(score.lead, parseMelody("E5/4 A5/4 G5/2 E5/2 -/4 C5/6 D5/2 E5/8", 16.0, 0.8f));
    auto opening = [](double at) {
        return 0.05f + 0.9f * static_cast<float>(std::pow(at / 32.0, 1.5));
    };
    score.padBrightness = opening;
    score.pluckBrightness = opening;
    return score;
}

} // namespace

LoopScore loopScore(int number) {
    switch (number) {
    case 1:
        return firstLoop();
    case 2:
        return secondLoop();
    case 3:
        return thirdLoop();
    case 4:
        return fourthLoop();
    default:
        return openingLoop();
    }
}

} // namespace forge
