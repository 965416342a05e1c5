#include "core/base_colour.h"
#include "core/random.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

// Finds a seed whose first three draws give the wanted hundredths, so the rule can be tested on
// the exact colours that decide it.
std::uint32_t seedGiving(int red, int green, int blue) {
    for (std::uint32_t seed = 0;; ++seed) {
        seedRandom(seed);
        if (nextRandom() % 100 == red && nextRandom() % 100 == green &&
            nextRandom() % 100 == blue) {
            return seed;
        }
    }
}

TEST(BaseColourTest, StoredFloatsDecideNotTheDecimalValues) {
    EXPECT_TRUE(isBrightEnough({0.5f, 0.5f, 0.5f}));
    EXPECT_TRUE(isBrightEnough({0.33f, 0.33f, 0.84f}));
    // Hundredths that add up to 150, yet the floats sum to 1.4999999497.
    EXPECT_FALSE(isBrightEnough({0.01f, 0.53f, 0.96f}));
}

TEST(BaseColourTest, DarkCandidateIsDrawnAgainInFull) {
    const std::uint32_t seed = seedGiving(1, 53, 96);
    seedRandom(seed);
    const BaseColour colour = pickBaseColour();
    EXPECT_TRUE(isBrightEnough(colour));
    // The accepted colour is a later triple of the same sequence, not the rejected one.
    seedRandom(seed);
    for (int i = 0; i < 3; ++i) {
        nextRandom();
    }
    BaseColour expected{};
    do {
        expected.red = static_cast<float>((nextRandom() % 100) * 0.01);
        expected.green = static_cast<float>((nextRandom() % 100) * 0.01);
        expected.blue = static_cast<float>((nextRandom() % 100) * 0.01);
    } while (static_cast<double>(expected.red) + expected.green + expected.blue < 1.5);
    EXPECT_EQ(colour.red, expected.red);
    EXPECT_EQ(colour.green, expected.green);
    EXPECT_EQ(colour.blue, expected.blue);
}

TEST(BaseColourTest, BrightFirstCandidateIsTakenAsDrawnInRedGreenBlueOrder) {
    seedRandom(seedGiving(90, 40, 30));
    const BaseColour colour = pickBaseColour();
    EXPECT_EQ(colour.red, 0.9f);
    EXPECT_EQ(colour.green, 0.4f);
    EXPECT_EQ(colour.blue, 0.3f);
}

TEST(BaseColourTest, EveryPickOverManySeedsIsBrightAndInHundredths) {
    for (std::uint32_t seed = 0; seed < 2000; ++seed) {
        seedRandom(seed);
        const BaseColour colour = pickBaseColour();
        ASSERT_TRUE(isBrightEnough(colour)) << "seed " << seed;
        for (float component : {colour.red, colour.green, colour.blue}) {
            const double hundredths = component * 100.0;
            ASSERT_NEAR(hundredths, std::round(hundredths), 1e-4);
            ASSERT_LT(component, 1.0f);
        }
    }
}

} // namespace
