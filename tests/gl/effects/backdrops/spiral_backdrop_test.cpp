#include "effect_gl_fixture.h"
#include "effects/spiral_backdrop.h"

#include <cmath>
#include <numbers>

namespace {

const Rgb lowerLeft = solid(250, 0, 0);
const Rgb lowerRight = solid(0, 250, 0);
const Rgb upperLeft = solid(0, 0, 250);
const Rgb upperRight = solid(250, 250, 0);

// Quarters of the picture by texture coordinate: s across, t up.
Rgb quarterColour(int s, int t) {
    if (t < 32) {
        return s < 32 ? lowerLeft : lowerRight;
    }
    return s < 32 ? upperLeft : upperRight;
}

class SpiralBackdropTest : public EffectGlTest {
protected:
    Rgb colourAtPolar(double radius, double degrees) {
        const double radians = degrees * std::numbers::pi / 180.0;
        const PixelPosition pixel =
            pixelAt(radius * std::cos(radians), radius * std::sin(radians), 1000.0);
        return regionPixel(pixel.x, pixel.y);
    }

    void drawSpiral(int direction, float seconds) {
        enterDrawContext({1.0f, 1.0f, 1.0f});
        spiral.direction = direction;
        spiral.draw(seconds);
    }

    SpiralBackdrop spiral;
};

TEST_F(SpiralBackdropTest, AtTimeZeroThePictureStandsUnrotated) {
    fillSlot(11, 64, 64, quarterColour);
    for (int direction : {1, -1}) {
        drawSpiral(direction, 0.0f);
        EXPECT_TRUE(colourNear(colourAtPolar(600, 225), lowerLeft, 1));
        EXPECT_TRUE(colourNear(colourAtPolar(600, 315), lowerRight, 1));
        EXPECT_TRUE(colourNear(colourAtPolar(600, 135), upperLeft, 1));
        EXPECT_TRUE(colourNear(colourAtPolar(600, 45), upperRight, 1));
    }
}

TEST_F(SpiralBackdropTest, OneSecondTurnsEightyDegreesInTheChosenSense) {
    fillSlot(11, 64, 64, quarterColour);
    // 800 degrees is two turns and 80 degrees: the upper-right quarter, centred at 45 degrees,
    // moves to 125 counter-clockwise or to -35 clockwise.
    drawSpiral(1, 1.0f);
    EXPECT_TRUE(colourNear(colourAtPolar(600, 125), upperRight, 1));
    EXPECT_TRUE(colourNear(colourAtPolar(600, -35), lowerLeft, 1));
    drawSpiral(-1, 1.0f);
    EXPECT_TRUE(colourNear(colourAtPolar(600, -35), upperRight, 1));
    EXPECT_TRUE(colourNear(colourAtPolar(600, 125), lowerLeft, 1));
}

TEST_F(SpiralBackdropTest, CoversTheWholeRegionAtEveryAngle) {
    fillSlot(11, 16, 16, [](int s, int t) {
        return solid(static_cast<std::uint8_t>(64 + s * 12), static_cast<std::uint8_t>(64 + t * 12),
                     200);
    });
    for (int direction : {1, -1}) {
        // Every 5 degrees of a whole turn, then the diagonal, where the corners come closest.
        for (int step = 0; step <= 73; ++step) {
            const float seconds = step < 73 ? step * 5.0f / 800.0f : 45.0f / 800.0f;
            drawSpiral(direction, seconds);
            const std::vector<Rgb> region = readRegion();
            for (std::size_t i = 0; i < region.size(); ++i) {
                ASSERT_FALSE(isBlack(region[i]))
                    << "clear colour at (" << i % regionSide << ", " << i / regionSide << ") for "
                    << seconds << " s, direction " << direction;
            }
        }
    }
}

TEST_F(SpiralBackdropTest, PictureIsTintedByTheCurrentColour) {
    fillSlot(11, 4, 4, [](int, int) { return solid(255, 255, 255); });
    enterDrawContext({0.5f, 0.25f, 1.0f});
    spiral.draw(0.7f);
    EXPECT_TRUE(colourNear(regionPixel(256, 256), solid(128, 64, 255), 1));
    EXPECT_TRUE(colourNear(regionPixel(0, 511), solid(128, 64, 255), 1));
}

} // namespace
