#include "forge/random_stream.h"

namespace forge {

RandomStream::RandomStream(std::uint64_t seed) : state(seed * 0x9e3779b97f4a7c15ull + 1) {}

std::uint32_t RandomStream::next() {
    state ^= state >> 12;
    state ^= state << 25;
    state ^= state >> 27;
    return static_cast<std::uint32_t>((state * 0x2545f4914f6cdd1dull) >> 32);
}

float RandomStream::uniform(float low, float high) {
    float unit = static_cast<float>(next() >> 8) / 16777216.0f;
    return low + (high - low) * unit;
}

int RandomStream::below(int count) {
    return static_cast<int>(next() % static_cast<std::uint32_t>(count));
}

} // namespace forge
