#pragma once

#include "core/random.h"

#include <cstdint>
#include <vector>

// The values the shared generator gives after seeding, recorded up front so a test can tell
// exactly which draws an effect made. Leaves the generator freshly seeded.
class RandomSequence {
public:
    explicit RandomSequence(std::uint32_t seed, std::size_t count = 64) : seed(seed) {
        seedRandom(seed);
        for (std::size_t i = 0; i < count; ++i) {
            values.push_back(nextRandom());
        }
        seedRandom(seed);
    }

    void reseed() const { seedRandom(seed); }
    int operator[](std::size_t index) const { return values.at(index); }
    std::size_t size() const { return values.size(); }

    // How many draws were made since seeding, told by where the generator's next three values
    // sit in the sequence (three in a row rule out a chance repeat). Moves the generator on.
    std::size_t drawsMade() const {
        const int first = nextRandom();
        const int second = nextRandom();
        const int third = nextRandom();
        for (std::size_t i = 0; i + 2 < values.size(); ++i) {
            if (values[i] == first && values[i + 1] == second && values[i + 2] == third) {
                return i;
            }
        }
        return values.size();
    }

private:
    std::uint32_t seed;
    std::vector<int> values;
};
