#pragma once

#include <cstdint>

namespace forge {

// A seeded generator of our own (xorshift*), so the data set is the same on every platform.
class RandomStream {
public:
    explicit RandomStream(std::uint64_t seed);

    std::uint32_t next();
    // Uniform in [low, high).
    float uniform(float low, float high);
    // Uniform integer in [0, count).
    int below(int count);

private:
    std::uint64_t state;
};

} // namespace forge
