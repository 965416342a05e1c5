#pragma once

#include <cmath>
#include <cstdint>

// The music's fixed timing: 32 beats in exactly 14674 ms, then a tail up to 15.0 s.
namespace forge::beat {

constexpr int sampleRate = 44100;
constexpr int channels = 2;
constexpr int beatsPerLoop = 32;
constexpr double loopMilliseconds = 14674.0;
constexpr std::int64_t loopFrames = 661500; // 15.0 s
constexpr double framesPerBeat = loopMilliseconds * sampleRate / 1000.0 / beatsPerLoop;
constexpr double secondsPerBeat = loopMilliseconds / 1000.0 / beatsPerLoop;

// The frame where a beat (fractional beats allowed) falls, rounded to the nearest frame.
inline std::int64_t frameOf(double beats) {
    return static_cast<std::int64_t>(std::llround(beats * framesPerBeat));
}

inline double secondsOf(double beats) {
    return beats * secondsPerBeat;
}

} // namespace forge::beat
