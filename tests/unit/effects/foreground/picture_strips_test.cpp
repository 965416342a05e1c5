#include "effects/picture_strips.h"
#include "random_sequence.h"

#include <gtest/gtest.h>
#include <set>

namespace {

// A strips effect whose two halves were both picked at `pickTime`.
PictureStrips pickedAt(float pickTime) {
    PictureStrips strips;
    strips.pick(pickTime);
    EXPECT_FLOAT_EQ(strips.upperPickTime, pickTime);
    EXPECT_FLOAT_EQ(strips.lowerPickTime, pickTime);
    return strips;
}

TEST(PictureStripsTest, FirstDrawAtZeroPicksBothHalvesInTheirDrawOrder) {
    for (std::uint32_t seed = 1; seed <= 50; ++seed) {
        const RandomSequence sequence(seed);
        PictureStrips strips;
        strips.pick(0.0f);
        // Upper test, upper choice, lower test, lower choice.
        EXPECT_EQ(strips.upperSlot, sequence[1] % 6 + 20) << "seed " << seed;
        EXPECT_EQ(strips.lowerSlot, sequence[3] % 4 + 26) << "seed " << seed;
        EXPECT_FLOAT_EQ(strips.upperPickTime, 0.0f);
        EXPECT_FLOAT_EQ(strips.lowerPickTime, 0.0f);
        EXPECT_EQ(sequence.drawsMade(), 4u);
    }
}

TEST(PictureStripsTest, NeverPicksWithinTwoTenthsOfASecond) {
    for (std::uint32_t seed = 1; seed <= 200; ++seed) {
        seedRandom(seed);
        PictureStrips strips = pickedAt(10.0f);
        const std::int32_t upper = strips.upperSlot;
        const std::int32_t lower = strips.lowerSlot;
        const RandomSequence sequence(seed * 7919u);
        std::size_t frames = 0;
        for (float t = 10.0f; t < 10.199f; t += 0.016f, ++frames) {
            strips.pick(t);
        }
        strips.pick(10.199f);
        ++frames;
        EXPECT_FLOAT_EQ(strips.upperPickTime, 10.0f);
        EXPECT_FLOAT_EQ(strips.lowerPickTime, 10.0f);
        EXPECT_EQ(strips.upperSlot, upper);
        EXPECT_EQ(strips.lowerSlot, lower);
        // The two thresholds of every frame are drawn all the same.
        EXPECT_EQ(sequence.drawsMade(), 2 * frames);
    }
}

TEST(PictureStripsTest, AlwaysPicksAfterFortyNineHundredths) {
    for (std::uint32_t seed = 1; seed <= 200; ++seed) {
        seedRandom(seed);
        PictureStrips strips = pickedAt(10.0f);
        const RandomSequence sequence(seed * 104729u);
        strips.pick(10.491f);
        EXPECT_FLOAT_EQ(strips.upperPickTime, 10.491f);
        EXPECT_FLOAT_EQ(strips.lowerPickTime, 10.491f);
        EXPECT_EQ(strips.upperSlot, sequence[1] % 6 + 20);
        EXPECT_EQ(strips.lowerSlot, sequence[3] % 4 + 26);
        EXPECT_EQ(sequence.drawsMade(), 4u);
    }
}

// Between 0.2 and 0.49 s the frame's threshold decides, each half on its own.
TEST(PictureStripsTest, ThresholdDrawnThisFrameDecidesEachHalfIndependently) {
    int upperOnly = 0;
    int lowerOnly = 0;
    for (std::uint32_t seed = 1; seed <= 400; ++seed) {
        seedRandom(seed);
        PictureStrips strips = pickedAt(4.0f);
        const RandomSequence sequence(seed + 5000u);
        const float t = 4.35f;
        strips.pick(t);

        const bool upperDue = sequence[0] % 30 * 0.01 + 4.0f + 0.2 < t;
        const std::size_t lowerTest = upperDue ? 2 : 1;
        const bool lowerDue = sequence[lowerTest] % 30 * 0.01 + 4.0f + 0.2 < t;
        EXPECT_FLOAT_EQ(strips.upperPickTime, upperDue ? t : 4.0f);
        EXPECT_FLOAT_EQ(strips.lowerPickTime, lowerDue ? t : 4.0f);
        if (upperDue) {
            EXPECT_EQ(strips.upperSlot, sequence[1] % 6 + 20);
        }
        if (lowerDue) {
            EXPECT_EQ(strips.lowerSlot, sequence[lowerTest + 1] % 4 + 26);
        }
        EXPECT_EQ(sequence.drawsMade(), 2u + (upperDue ? 1u : 0u) + (lowerDue ? 1u : 0u));
        upperOnly += upperDue && !lowerDue ? 1 : 0;
        lowerOnly += lowerDue && !upperDue ? 1 : 0;
    }
    // Both mixed cases happened, so the halves really were decided apart.
    EXPECT_GT(upperOnly, 0);
    EXPECT_GT(lowerOnly, 0);
}

TEST(PictureStripsTest, PicksCoverExactlyTheirSlotRanges) {
    seedRandom(4242);
    PictureStrips strips;
    std::set<std::int32_t> upper;
    std::set<std::int32_t> lower;
    for (int frame = 0; frame < 3000; ++frame) {
        // Half a second apart: every frame picks both.
        strips.pick(static_cast<float>(frame) * 0.5f);
        upper.insert(strips.upperSlot);
        lower.insert(strips.lowerSlot);
    }
    EXPECT_EQ(upper, (std::set<std::int32_t>{20, 21, 22, 23, 24, 25}));
    EXPECT_EQ(lower, (std::set<std::int32_t>{26, 27, 28, 29}));
}

} // namespace
