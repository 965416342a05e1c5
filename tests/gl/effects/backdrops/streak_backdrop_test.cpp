#include "core/random.h"
#include "effect_gl_fixture.h"
#include "effects/streak_backdrop.h"

#include <cmath>

namespace {

const Rgb white = solid(255, 255, 255);

class StreakBackdropTest : public EffectGlTest {
protected:
    void SetUp() override {
        EffectGlTest::SetUp();
        fillSlot(12, 4, 4, [](int, int) { return white; });
    }

    // Every streak but the given ones made still and centred, adding no displacement.
    void keepOnly(std::initializer_list<Streak> first) {
        backdrop.streaks.fill({0.0f, 0.0f, 0.0f});
        std::size_t index = 0;
        for (const Streak& streak : first) {
            backdrop.streaks[index++] = streak;
        }
    }

    bool litAt(double x, double y) {
        const PixelPosition pixel = pixelAt(x, y, 1000.0);
        return !isBlack(regionPixel(pixel.x, pixel.y));
    }

    StreakBackdrop backdrop;
};

double eyeXOfColumn(int column) {
    return ((column + 0.5) / 256.0 - 1.0) * 4000.0 / 3.0;
}

TEST_F(StreakBackdropTest, AtTimeZeroEveryStreakIsAnUprightBarAtItsOffset) {
    for (std::uint32_t seed : {3u, 77u, 4242u}) {
        seedRandom(seed);
        StreakBackdrop seeded;
        enterDrawContext({1.0f, 1.0f, 1.0f});
        seeded.draw(0.0f);
        const std::vector<Rgb> region = readRegion();
        for (int column = 0; column < regionSide; ++column) {
            const double x = eyeXOfColumn(column);
            bool inside = false;
            bool nearEdge = false;
            for (const Streak& streak : seeded.streaks) {
                // 0.4 wide before the scale of 400: 80 view units each side of the centre.
                const double distance = std::abs(x - 400.0 * streak.x);
                inside = inside || distance < 80.0;
                nearEdge = nearEdge || std::abs(distance - 80.0) < 8.0;
            }
            if (nearEdge) {
                continue;
            }
            // The bars are 7200 units long: lit or dark from the bottom row to the top.
            for (int row = 0; row < regionSide; row += 17) {
                ASSERT_EQ(!isBlack(region[static_cast<std::size_t>(row * regionSide + column)]),
                          inside)
                    << "seed " << seed << ", column " << column << ", row " << row;
            }
        }
    }
}

TEST_F(StreakBackdropTest, DisplacementCarriesOverToLaterStreaksOnly) {
    // Streak 1 at -90 degrees leaves a net translation of (-1, -1): (-400, -400) view units.
    keepOnly({{0.5f, 0.0f, 0.0f}, {1.0f, 0.0f, -90.0f}});
    backdrop.draw(1.0f);
    EXPECT_TRUE(litAt(200, 600)) << "the streak before it stays where it was";
    EXPECT_TRUE(litAt(1000, -400)) << "streak 1 itself lies across the view at y = -400";
    // 0.4 wide under the scale of 400: from -480 to -320.
    EXPECT_TRUE(litAt(1000, -470));
    EXPECT_FALSE(litAt(1000, -310));
    EXPECT_FALSE(litAt(1000, -490));
    EXPECT_TRUE(litAt(-400, 600)) << "the streaks after it moved by -400";
    EXPECT_FALSE(litAt(0, 600)) << "an undone translation would have left them at 0";
}

TEST_F(StreakBackdropTest, NegativeRatesTurnClockwise) {
    keepOnly({{0.0f, 0.0f, -90.0f}});
    backdrop.draw(0.5f);
    // Minus 45 degrees: the top of the bar leans to the right.
    EXPECT_TRUE(litAt(300, 300));
    EXPECT_TRUE(litAt(-300, -300));
    EXPECT_FALSE(litAt(-300, 300));
    EXPECT_FALSE(litAt(300, -300));
}

TEST_F(StreakBackdropTest, EarlierStreakStaysOnTopWhereTheyOverlap) {
    // Across the bar the picture brightens from left to right.
    fillSlot(12, 64, 4, [](int s, int) {
        const auto level = static_cast<std::uint8_t>(s * 4);
        return solid(level, level, level);
    });
    keepOnly({{0.0f, 0.0f, 0.0f}, {0.1f, 0.0f, 0.0f}});
    // The still streaks 2 to 9 all sit on streak 0 and cannot change it either.
    backdrop.draw(5.0f);
    const PixelPosition pixel = pixelAt(20.0, 0.0, 1000.0);
    const double eyeX = eyeXOfColumn(pixel.x);
    // Streak 0 spans -80 to 80, so s = (x + 80) / 160; streak 1 would give (x - 40 + 80) / 160.
    const double s = (eyeX + 80.0) / 160.0;
    const double expected = std::clamp(s * 64.0 - 0.5, 0.0, 63.0) * 4.0;
    EXPECT_NEAR(regionPixel(pixel.x, pixel.y)[0], expected, 3.0);
}

TEST_F(StreakBackdropTest, SameTimeSamePictureWhateverCameBefore) {
    seedRandom(99);
    StreakBackdrop seeded;
    seeded.draw(2.5f);
    const std::vector<Rgb> first = readRegion();
    enterDrawContext({1.0f, 1.0f, 1.0f});
    seeded.draw(7.0f);
    const std::vector<Rgb> other = readRegion();
    enterDrawContext({1.0f, 1.0f, 1.0f});
    seeded.draw(2.5f);
    EXPECT_EQ(readRegion(), first);
    EXPECT_NE(other, first) << "the streaks move with the time";
}

} // namespace
