#include "core/random.h"
#include "demo/bar_layout.h"
#include "support/reference_random.h"

#include <cstddef>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace {

constexpr double depthStep = 0.26 / 255.0;
constexpr float fullHalfWidth = 1.3337f;

// Hands out the given numbers in order. Asking for more than the script holds is a failure, so a
// rule that takes a number where it should not shows at once.
class ScriptedDraws {
public:
    explicit ScriptedDraws(std::vector<int> values) : values(std::move(values)) {}

    BarLayout::RandomDraw source() {
        return [this] { return next(); };
    }
    std::size_t taken() const { return position; }
    std::size_t size() const { return values.size(); }

private:
    int next() {
        if (position == values.size()) {
            ADD_FAILURE() << "the layout took more than the " << values.size()
                          << " numbers it should";
            return 0;
        }
        return values[position++];
    }

    std::vector<int> values;
    std::size_t position = 0;
};

BarLayout generated(ScriptedDraws& draws) {
    BarLayout layout;
    layout.generate(draws.source());
    EXPECT_EQ(draws.taken(), draws.size()) << "numbers left over: the rule took too few";
    return layout;
}

std::vector<float> quad(float left, float right, float edgeY, float innerY) {
    return {left, edgeY, left, innerY, right, innerY, right, edgeY};
}

std::vector<float> fullBars(float topEdge, float bottomEdge) {
    std::vector<float> bars = quad(-fullHalfWidth, fullHalfWidth, 1.0f, topEdge);
    const std::vector<float> bottom = quad(-fullHalfWidth, fullHalfWidth, -1.0f, bottomEdge);
    bars.insert(bars.end(), bottom.begin(), bottom.end());
    return bars;
}

float asFloat(double value) {
    return static_cast<float>(value);
}

TEST(BarLayoutTest, GlobalStartsEmptyBeforeAnyGeneration) {
    EXPECT_TRUE(barLayout.bars.empty());
    EXPECT_TRUE(barLayout.spikes.empty());
    EXPECT_EQ(barLayout.topEdge, 0.0f);
    EXPECT_EQ(barLayout.bottomEdge, 0.0f);
}

TEST(BarLayoutTest, AllCountsZeroLeaveOnlyTheTwoFullWidthBars) {
    // Remainders 100 and 200 for the edges (from numbers above the modulus), then four counts
    // of zero from numbers that are not zero themselves.
    ScriptedDraws draws({255 + 100, 510 + 200, 10, 20, 30, 32760});
    const BarLayout layout = generated(draws);
    const float top = asFloat(1.0 - 100 * depthStep);
    const float bottom = asFloat(200 * depthStep - 1.0);
    EXPECT_EQ(layout.topEdge, top);
    EXPECT_EQ(layout.bottomEdge, bottom);
    EXPECT_EQ(layout.bars.size(), 16u);
    EXPECT_EQ(layout.bars, fullBars(top, bottom));
    EXPECT_TRUE(layout.spikes.empty());
}

TEST(BarLayoutTest, BarsOfNoDepthSkipEverySpikeWithoutTakingNumbers) {
    // Nine lower and nine upper repetitions, yet only the six numbers of the edges and counts.
    ScriptedDraws draws({255 * 3, 0, 0, 0, 9, 19});
    const BarLayout layout = generated(draws);
    EXPECT_EQ(layout.topEdge, 1.0f);
    EXPECT_EQ(layout.bottomEdge, -1.0f);
    EXPECT_EQ(layout.bars, fullBars(1.0f, -1.0f));
    EXPECT_TRUE(layout.spikes.empty());
}

TEST(BarLayoutTest, OneBarOfNoDepthStillLetsTheOtherEdgeGrowSpikes) {
    // Top of no depth: one lower spike takes its six numbers, five upper repetitions take none.
    ScriptedDraws topFlat({0, 100, 0, 0, 1, 0, 1, 2, 3, 4, 5, 5});
    EXPECT_EQ(generated(topFlat).spikes.size(), 6u);
    // Bottom of no depth: the mirror case.
    ScriptedDraws bottomFlat({100, 0, 0, 0, 5, 1, 0, 1, 2, 3, 4, 5});
    const BarLayout layout = generated(bottomFlat);
    ASSERT_EQ(layout.spikes.size(), 6u);
    EXPECT_GT(layout.spikes[3], 0.0f) << "the spike is an upper one";
}

TEST(BarLayoutTest, StandingAndHangingBarsTakeLeftRightAndInnerEdgeInThatOrder) {
    ScriptedDraws draws({
        0, 0,             // edges of no depth
        2,                // two standing bars
        0, 2666, 399,     // L = 1.3334, R = -1.3326, E = -0.601
        2667 + 5, 100, 0, // L wraps to 1.3284, R = 1.2334, E = -1
        11,               // one hanging bar
        1000, 2000, 250,  // L = 0.3334, R = -0.6666, E = 0.75
        0, 0,             // no spikes
    });
    const BarLayout layout = generated(draws);
    std::vector<float> expected = fullBars(1.0f, -1.0f);
    for (const std::vector<float>& bar :
         {quad(1.3334f, asFloat(1.3334 - 2.666), -1.0f, asFloat(0.399 - 1.0)),
          quad(asFloat(1.3334 - 0.005), asFloat(1.3334 - 0.1), -1.0f, -1.0f),
          quad(asFloat(1.3334 - 1.0), asFloat(1.3334 - 2.0), 1.0f, 0.75f)}) {
        expected.insert(expected.end(), bar.begin(), bar.end());
    }
    EXPECT_EQ(layout.bars, expected);
    // A bar whose left lies right of its right is kept as drawn: reverse winding.
    EXPECT_GT(layout.bars[16], layout.bars[20]);
}

TEST(BarLayoutTest, RemainderOneGivesModulusOneSoSpikeBasesSitOnTheEdges) {
    ScriptedDraws draws({
        1, 1, 0, 0, 1, 10, 20, 30, 777, 399, 32767, // one lower spike: every r % 1 is 0
        1, 40, 50, 60, 12345, 0, 999,               // one upper spike
    });
    const BarLayout layout = generated(draws);
    EXPECT_EQ(layout.topEdge, asFloat(1.0 - depthStep));
    EXPECT_NEAR(1.0 - layout.topEdge, 0.0010196, 1e-6);
    const double bottom = layout.bottomEdge;
    const std::vector<float> expected = {
        asFloat(1.3334 - 0.010), asFloat(bottom - 1.0),
        asFloat(1.3334 - 0.020), -0.601f,
        asFloat(1.3334 - 0.030), asFloat(bottom - 1.0),
        asFloat(1.3334 - 0.040), layout.topEdge,
        asFloat(1.3334 - 0.050), 1.0f,
        asFloat(1.3334 - 0.060), layout.topEdge,
    };
    EXPECT_EQ(layout.spikes, expected);
}

struct ModulusCase {
    int remainder;
    int modulus;
};

class BarLayoutModulusTest : public testing::TestWithParam<ModulusCase> {};

// The modulus comes from the stored float edge: 51 for remainder 51 (exact depth 0.052) and 103
// for remainder 102 (exact depth 0.104). A number equal to the modulus gives a base on the
// edge; one below it gives the deepest base.
TEST_P(BarLayoutModulusTest, ModulusIsTakenFromTheStoredEdge) {
    const int m = GetParam().modulus;
    const int r = GetParam().remainder;
    ScriptedDraws draws({r, r, 0, 0, 1, 0, 0, 0, m, 0, m - 1, 1, 0, 0, 0, m, 399, m - 1});
    const BarLayout layout = generated(draws);
    const double bottom = layout.bottomEdge;
    const double top = layout.topEdge;
    EXPECT_EQ(static_cast<int>((bottom + 1.0) * 1000.0), m);
    EXPECT_EQ(static_cast<int>((1.0 - top) * 1000.0), m);
    ASSERT_EQ(layout.spikes.size(), 12u);
    EXPECT_EQ(layout.spikes[1], asFloat(bottom - 1.0));
    EXPECT_EQ(layout.spikes[5], asFloat(bottom - 1.0 - (m - 1) * 0.001));
    EXPECT_EQ(layout.spikes[7], layout.topEdge);
    EXPECT_EQ(layout.spikes[9], asFloat(1.0 - 0.399));
    EXPECT_EQ(layout.spikes[11], asFloat(top + (m - 1) * 0.001));
}

INSTANTIATE_TEST_SUITE_P(StoredEdges, BarLayoutModulusTest,
                         testing::Values(ModulusCase{51, 51}, ModulusCase{102, 103},
                                         ModulusCase{254, 258}, ModulusCase{2, 2}));

TEST(BarLayoutTest, AnotherGenerationReplacesTheLayoutAndReleasesItsStorage) {
    // Numbers for 9 standing and 9 hanging bars (3 each) and 9 + 9 spikes (6 each), placed where
    // the counts fall: after each count its repetitions.
    std::vector<int> script = {200, 200, 9};
    script.insert(script.end(), 27, 7);
    script.push_back(9);
    script.insert(script.end(), 27, 7);
    script.push_back(9);
    script.insert(script.end(), 54, 7);
    script.push_back(9);
    script.insert(script.end(), 54, 7);
    ScriptedDraws largest(script);
    BarLayout layout;
    layout.generate(largest.source());
    ASSERT_EQ(largest.taken(), script.size());
    EXPECT_EQ(layout.bars.size(), 160u);
    EXPECT_EQ(layout.spikes.size(), 108u);

    ScriptedDraws smallest({3, 4, 0, 0, 0, 0});
    layout.generate(smallest.source());
    EXPECT_EQ(layout.bars.size(), 16u);
    EXPECT_LT(layout.bars.capacity(), 160u) << "the old list's storage survived";
    EXPECT_EQ(layout.spikes.capacity(), 0u) << "the old list's storage survived";
    EXPECT_EQ(layout.bars, fullBars(asFloat(1.0 - 3 * depthStep), asFloat(4 * depthStep - 1.0)));
}

TEST(BarLayoutTest, GenerateTakesItsNumbersFromTheSharedGeneratorDrawForDraw) {
    for (std::uint32_t seed : {1u, 42u, 31337u, 0xdeadbeefu, 123456789u}) {
        seedRandom(seed);
        BarLayout shared;
        shared.generate();
        const int nextShared = nextRandom();

        ReferenceRandom reference(seed);
        BarLayout scripted;
        scripted.generate([&reference] { return reference.next(); });
        EXPECT_EQ(shared.bars, scripted.bars) << "seed " << seed;
        EXPECT_EQ(shared.spikes, scripted.spikes) << "seed " << seed;
        EXPECT_EQ(shared.topEdge, scripted.topEdge) << "seed " << seed;
        EXPECT_EQ(shared.bottomEdge, scripted.bottomEdge) << "seed " << seed;
        EXPECT_EQ(nextShared, reference.next()) << "seed " << seed << ": numbers taken differ";
    }
}

} // namespace
