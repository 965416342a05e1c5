#include "forge/music/stereo_buffer.h"

namespace forge {

StereoBuffer::StereoBuffer(std::int64_t frames)
    : left(static_cast<std::size_t>(frames)), right(static_cast<std::size_t>(frames)) {}

void StereoBuffer::mix(const StereoBuffer& other, float gain) {
    for (std::size_t i = 0; i < left.size() && i < other.left.size(); ++i) {
        left[i] += other.left[i] * gain;
        right[i] += other.right[i] * gain;
    }
}

} // namespace forge
