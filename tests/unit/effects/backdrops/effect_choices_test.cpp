#include "core/random.h"
#include "effects/spiral_backdrop.h"
#include "effects/streak_backdrop.h"
#include "support/reference_random.h"

#include <gtest/gtest.h>

namespace {

std::uint32_t seedWithFirstRemainder(int remainder) {
    for (std::uint32_t seed = 0;; ++seed) {
        if (ReferenceRandom(seed).next() % 10 == remainder) {
            return seed;
        }
    }
}

TEST(SpiralBackdropTest, SixOfTheTenRemaindersTurnCounterClockwise) {
    for (int remainder = 0; remainder < 10; ++remainder) {
        const std::uint32_t seed = seedWithFirstRemainder(remainder);
        seedRandom(seed);
        const SpiralBackdrop spiral;
        EXPECT_EQ(spiral.direction, remainder <= 5 ? 1 : -1) << "remainder " << remainder;
        ReferenceRandom reference(seed);
        reference.next();
        EXPECT_EQ(nextRandom(), reference.next()) << "the spiral takes exactly one number";
    }
}

// Whole hundredths written out as decimals, to compare with what the records hold.
double hundredths(int count) {
    return count / 100.0;
}

TEST(StreakBackdropTest, ThirtyNumbersFillTheRecordsXThenYThenRate) {
    for (std::uint32_t seed : {7u, 1000u, 0x12345678u}) {
        seedRandom(seed);
        const StreakBackdrop backdrop;
        ReferenceRandom reference(seed);
        for (const Streak& streak : backdrop.streaks) {
            const int forX = reference.next();
            const int forY = reference.next();
            const int forRate = reference.next();
            EXPECT_FLOAT_EQ(streak.x, static_cast<float>(hundredths(forX % 240 - 120)));
            EXPECT_FLOAT_EQ(streak.y, static_cast<float>(hundredths(90 - forY % 180)));
            EXPECT_EQ(streak.rate, static_cast<float>(forRate % 90 - 180));
        }
        EXPECT_EQ(nextRandom(), reference.next()) << "exactly thirty numbers are taken";
    }
}

} // namespace
