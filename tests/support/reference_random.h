#pragma once

#include <cstdint>

// The classic runtime sequence written out again, apart from the demo's generator, so a test
// can say which numbers an effect should have taken and in what order.
class ReferenceRandom {
public:
    explicit ReferenceRandom(std::uint32_t seed) : state(seed) {}

    int next() {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7fffu);
    }

private:
    std::uint32_t state;
};
