#include "effect_gl_fixture.h"
#include "effects/pulse_backdrop.h"

#include <numbers>

namespace {

constexpr double pi = std::numbers::pi;

class PulseBackdropTest : public EffectGlTest {
protected:
    void SetUp() override {
        EffectGlTest::SetUp();
        fillSlot(10, 4, 4, [](int, int) { return solid(255, 255, 255); });
    }

    std::vector<Rgb> drawnAt(double seconds) {
        enterDrawContext({1.0f, 1.0f, 1.0f});
        pulse.draw(static_cast<float>(seconds));
        return readRegion();
    }

    PulseBackdrop pulse;
};

bool litPixel(const std::vector<Rgb>& region, int x, int y) {
    return !isBlack(region[static_cast<std::size_t>(y * regionSide + x)]);
}

TEST_F(PulseBackdropTest, AtTimeZeroBlackStripsRemainLeftAndRight) {
    // The quad reaches 1200 of the view's 1333.3: columns up to 25 and from 486 on stay black.
    const std::vector<Rgb> region = drawnAt(0.0);
    for (int y = 0; y < regionSide; ++y) {
        for (int x = 0; x < regionSide; ++x) {
            if (x == 25 || x == 486) {
                continue;
            }
            const bool inside = x > 25 && x < 486;
            ASSERT_EQ(litPixel(region, x, y), inside) << "pixel (" << x << ", " << y << ")";
        }
    }
}

TEST_F(PulseBackdropTest, AtLargestSizeTheWholeViewIsCovered) {
    const std::vector<Rgb> region = drawnAt(pi / 16);
    for (std::size_t i = 0; i < region.size(); ++i) {
        ASSERT_FALSE(isBlack(region[i]))
            << "pixel (" << i % regionSide << ", " << i / regionSide << ")";
    }
}

TEST_F(PulseBackdropTest, AtSmallestSizeACentredSquareAFifthOfTheHeightSitsInBlack) {
    // Half side 200 of the view's 1000 high and 1333.3 wide: rows 204.8 to 307.2 and columns
    // 217.6 to 294.4.
    const std::vector<Rgb> region = drawnAt(3 * pi / 16);
    int litRows = 0;
    for (int y = 0; y < regionSide; ++y) {
        litRows += litPixel(region, 256, y) ? 1 : 0;
        for (int x = 0; x < regionSide; ++x) {
            if (x == 217 || x == 294 || y == 204 || y == 307) {
                continue;
            }
            const bool inside = x > 217 && x < 294 && y > 204 && y < 307;
            ASSERT_EQ(litPixel(region, x, y), inside) << "pixel (" << x << ", " << y << ")";
        }
    }
    EXPECT_NEAR(litRows, regionSide / 5, 1);
}

TEST_F(PulseBackdropTest, PictureLiesTransposedOnTheQuad) {
    const Rgb lowS_lowT = solid(250, 0, 0);
    const Rgb lowS_highT = solid(0, 250, 0);
    const Rgb highS_lowT = solid(0, 0, 250);
    const Rgb highS_highT = solid(250, 250, 0);
    fillSlot(10, 64, 64, [&](int s, int t) {
        if (s < 32) {
            return t < 32 ? lowS_lowT : lowS_highT;
        }
        return t < 32 ? highS_lowT : highS_highT;
    });
    drawnAt(3 * pi / 16);
    // s runs up the quad and t across it.
    const auto colourAt = [](double x, double y) {
        const PixelPosition pixel = pixelAt(x, y, 1000.0);
        return regionPixel(pixel.x, pixel.y);
    };
    EXPECT_TRUE(colourNear(colourAt(-100, -100), lowS_lowT, 1)) << "lower left";
    EXPECT_TRUE(colourNear(colourAt(100, -100), lowS_highT, 1)) << "lower right";
    EXPECT_TRUE(colourNear(colourAt(-100, 100), highS_lowT, 1)) << "upper left";
    EXPECT_TRUE(colourNear(colourAt(100, 100), highS_highT, 1)) << "upper right";
}

} // namespace
