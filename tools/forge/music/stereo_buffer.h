#pragma once

#include <cstdint>
#include <vector>

namespace forge {

// Two channels of float samples of a fixed length; writes past either end are dropped.
class StereoBuffer {
public:
    explicit StereoBuffer(std::int64_t frames);

    std::int64_t frames() const { return static_cast<std::int64_t>(left.size()); }

    void add(std::int64_t frame, float leftSample, float rightSample) {
        if (frame >= 0 && frame < frames()) {
            left[static_cast<std::size_t>(frame)] += leftSample;
            right[static_cast<std::size_t>(frame)] += rightSample;
        }
    }
    // Adds other, scaled by gain, onto this buffer.
    void mix(const StereoBuffer& other, float gain);
    // Interleaved 16-bit samples, clamped to full scale, for a WAV file.
    std::vector<std::int16_t> toPcm16() const;

    std::vector<float> left;
    std::vector<float> right;
};

} // namespace forge
