#pragma once

#include "mp3_test_files.h"
#include "platform/sound_system.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace soundtest {

// A file written for a test together with what the project's decoder makes of it, so playback
// can be compared sample for sample.
struct TestLoop {
    std::string path;
    std::vector<std::int16_t> decoded; // interleaved stereo at 44100 Hz

    std::uint32_t frames() const { return static_cast<std::uint32_t>(decoded.size() / 2); }
    // Milliseconds as the sound system counts them: whole ones, rounded down.
    std::int32_t lengthMilliseconds() const {
        return static_cast<std::int32_t>(std::uint64_t{frames()} * 1000 / 44100);
    }
};

TestLoop makeLoop(const std::string& path, const std::vector<std::int16_t>& stereoSignal);

// The frames [from, from + count) of interleaved stereo samples.
std::vector<std::int16_t> frameRange(const std::vector<std::int16_t>& samples, std::size_t from,
                                     std::size_t count);
std::vector<std::int16_t> frameRange(std::span<const std::int16_t> samples, std::size_t from,
                                     std::size_t count);

std::string escapeRegex(const std::string& text);

} // namespace soundtest
