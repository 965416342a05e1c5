#include "forge/music/stereo_buffer.h"

#include <algorithm>
#include <cmath>

namespace forge {

StereoBuffer::StereoBuffer(std::int64_t frames)
    : left(static_cast<std::size_t>(frames)), right(static_cast<std::size_t>(frames)) {}

void StereoBuffer::mix(const StereoBuffer& other, float gain) {
    for (std::size_t i = 0; i < left.size() && i < other.left.size(); ++i) {
        left[i] += other.left[i] * gain;
        right[i] += other.right[i] * gain;
    }
}

std::vector<std::int16_t> StereoBuffer::toPcm16() const {
    std::vector<std::int16_t> samples;
    samples.reserve(left.size() * 2);
    for (std::size_t i = 0; i < left.size(); ++i) {
        for (float sample : {left[i], right[i]}) {
            samples.push_back(
                static_cast<std::int16_t>(std::lround(std::clamp(sample, -1.0f, 1.0f) * 32767.0f)));
        }
    }
    return samples;
}

} // namespace forge
