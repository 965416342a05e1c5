#include "frame_rate.h"

#include <gtest/gtest.h>

namespace {

FrameRate rateOf(const char* text) {
    const std::optional<FrameRate> rate = FrameRate::parse(text);
    EXPECT_TRUE(rate.has_value()) << text;
    return rate.value_or(FrameRate(1, 1));
}

TEST(FrameRateTest, WholeAndFractionalRatesParse) {
    const FrameRate ntsc = rateOf("60000/1001");
    EXPECT_EQ(ntsc.numerator(), 60000u);
    EXPECT_EQ(ntsc.denominator(), 1001u);
    const FrameRate whole = rateOf("60");
    EXPECT_EQ(whole.numerator(), 60u);
    EXPECT_EQ(whole.denominator(), 1u);
    EXPECT_TRUE(FrameRate::parse("1").has_value());
    EXPECT_TRUE(FrameRate::parse("1000").has_value());
}

TEST(FrameRateTest, RatesOutsideOneToAThousandOrMalformedAreRefused) {
    for (const char* text : {"0", "0/1", "60/0", "1001/60000", "1001", "2000/1", "29.97", "-60",
                             "60/", "/1", "60 ", "", "abc", "1000001/1000000", "60/1/1"}) {
        EXPECT_FALSE(FrameRate::parse(text).has_value()) << '"' << text << '"';
    }
}

TEST(FrameRateTest, FractionalRateTimesAreExactWithoutDrift) {
    const FrameRate ntsc = rateOf("60000/1001");
    // 16.683 ms, 50.05 ms, exactly 1001 ms after 60 frames.
    EXPECT_EQ(ntsc.millisecondsAt(1), 16u);
    EXPECT_EQ(ntsc.millisecondsAt(3), 50u);
    EXPECT_EQ(ntsc.millisecondsAt(59), 984u);
    EXPECT_EQ(ntsc.millisecondsAt(60), 1001u);
    // Six million frames are exactly 100100 s: a sum of 1001/60 steps would be off by now.
    EXPECT_EQ(ntsc.millisecondsAt(6'000'000), 100'100'000u);
    EXPECT_EQ(ntsc.millisecondsAt(5'999'999), 100'099'983u);
}

TEST(FrameRateTest, SoundFramesAreRoundedDownFromTheFrameStart) {
    const FrameRate ntsc = rateOf("60000/1001");
    // 735.735 sound frames per picture frame.
    EXPECT_EQ(ntsc.samplesAt(0, 44100), 0u);
    EXPECT_EQ(ntsc.samplesAt(1, 44100), 735u);
    EXPECT_EQ(ntsc.samplesAt(2, 44100), 1471u);
    EXPECT_EQ(ntsc.samplesAt(1000, 44100), 735735u);
    EXPECT_EQ(ntsc.samplesAt(60000, 44100), 44'144'100u);
    // Large enough that frame x rate x denominator no longer fits in 64 bits.
    EXPECT_EQ(FrameRate(1'000'000, 1000).samplesAt(4'000'000'000'000ull, 44100),
              176'400'000'000'000ull);
    EXPECT_EQ(rateOf("60").samplesAt(6181, 44100), 6181u * 735u);
}

TEST(FrameRateTest, FirstFrameAtOrAfterATimeIsExactAtTheEdges) {
    const FrameRate ten = rateOf("10");
    EXPECT_EQ(ten.firstFrameAtOrAfter({0, 1}), 0u);
    EXPECT_EQ(ten.firstFrameAtOrAfter({5, 1}), 50u);
    EXPECT_EQ(ten.firstFrameAtOrAfter({5001, 1000}), 51u);
    const FrameRate ntsc = rateOf("60000/1001");
    EXPECT_EQ(ntsc.firstFrameAtOrAfter({1001, 1000}), 60u);
    EXPECT_EQ(ntsc.firstFrameAtOrAfter({10009, 10000}), 60u);
    EXPECT_EQ(ntsc.firstFrameAtOrAfter({10011, 10000}), 61u);
    EXPECT_EQ(rateOf("60").firstFrameAtOrAfter({14674, 1000}), 881u);
}

TEST(SecondsTest, DecimalSecondsAreHeldExactly) {
    const std::optional<ExactSeconds> half = parseSeconds("14.5");
    ASSERT_TRUE(half.has_value());
    EXPECT_EQ(half->numerator, 145u);
    EXPECT_EQ(half->denominator, 10u);
    const std::optional<ExactSeconds> tiny = parseSeconds("0.000000001");
    ASSERT_TRUE(tiny.has_value());
    EXPECT_EQ(tiny->numerator, 1u);
    EXPECT_EQ(tiny->denominator, 1'000'000'000u);
    EXPECT_TRUE(parseSeconds("1000000").has_value());
}

TEST(SecondsTest, SignsExponentsAndTooManyDecimalsAreRefused) {
    for (const char* text : {"", "-1", "+1", "1e3", ".5", "5.", "1.2.3", "0.0000000001",
                             "1000000.1", "99999999", "5 ", "five"}) {
        EXPECT_FALSE(parseSeconds(text).has_value()) << '"' << text << '"';
    }
}

} // namespace
