#include "demo/random.h"
#include "effects/pulse_backdrop.h"
#include "effects/spiral_backdrop.h"
#include "effects/streak_backdrop.h"
#include "effects/title_cards.h"
#include "reference_random.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

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

TEST(StreakBackdropTest, RecordsStayInTheirRangesAndEveryStreakTurnsClockwise) {
    for (std::uint32_t seed = 0; seed < 500; ++seed) {
        seedRandom(seed);
        const StreakBackdrop backdrop;
        for (const Streak& streak : backdrop.streaks) {
            EXPECT_GE(streak.x, -1.2f);
            EXPECT_LE(streak.x, 1.19f + 1e-6f);
            EXPECT_GE(streak.y, -0.89f - 1e-6f);
            EXPECT_LE(streak.y, 0.9f);
            EXPECT_LE(streak.rate, -91.0f);
            EXPECT_GE(streak.rate, -180.0f);
            EXPECT_EQ(streak.rate, std::round(streak.rate));
        }
    }
}

TEST(TitleCardsTest, CardsChangeAtTheDoubleConstantsWithStrictComparisons) {
    EXPECT_EQ(TitleCards::cardSlot(0.0f), 30);
    // The float nearest 7.393 lies above 7.393, so it already shows the second card.
    EXPECT_EQ(TitleCards::cardSlot(std::nextafter(7.393f, 0.0f)), 30);
    EXPECT_EQ(TitleCards::cardSlot(7.393f), 31);
    EXPECT_EQ(TitleCards::cardSlot(std::nextafter(11.89f, 0.0f)), 31);
    EXPECT_EQ(TitleCards::cardSlot(11.89f), 32);
    EXPECT_EQ(TitleCards::cardSlot(103.0f), 32);
    EXPECT_EQ(TitleCards::cardSlot(1.0e9f), 32);
}

TEST(PulseBackdropTest, SizeSwingsBetween200And2200WithPeriodPiOverFour) {
    constexpr double pi = std::numbers::pi;
    EXPECT_EQ(PulseBackdrop::halfSide(0.0f), 1200.0f);
    EXPECT_NEAR(PulseBackdrop::halfSide(static_cast<float>(pi / 16)), 2200.0f, 1e-3);
    EXPECT_NEAR(PulseBackdrop::halfSide(static_cast<float>(3 * pi / 16)), 200.0f, 1e-3);
    EXPECT_NEAR(PulseBackdrop::halfSide(static_cast<float>(pi / 4)), 1200.0f, 1e-3);
    for (float t = 0.0f; t < 120.0f; t += 0.37f) {
        const float size = PulseBackdrop::halfSide(t);
        EXPECT_GE(size, 200.0f);
        EXPECT_LE(size, 2200.0f);
    }
}

} // namespace
