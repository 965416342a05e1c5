#include "effect_gl_fixture.h"
#include "effects/pulse_backdrop.h"
#include "effects/title_cards.h"
#include "resources/texture_bank.h"

#include <GL/gl.h>
#include <cmath>
#include <numbers>

namespace {

const Rgb firstCard = solid(200, 0, 0);
const Rgb secondCard = solid(0, 200, 0);
const Rgb thirdCard = solid(0, 0, 200);

class TitleCardsTest : public EffectGlTest {
protected:
    void SetUp() override {
        EffectGlTest::SetUp();
        fillSlot(30, 8, 8, [](int, int) { return firstCard; });
        fillSlot(31, 8, 8, [](int, int) { return secondCard; });
        fillSlot(32, 8, 8, [](int, int) { return thirdCard; });
        enterDrawContext({1.0f, 1.0f, 1.0f});
    }

    Rgb centreAt(float seconds) {
        enterDrawContext({1.0f, 1.0f, 1.0f});
        cards.draw(seconds);
        return regionPixel(256, 256);
    }

    TitleCards cards;
};

TEST_F(TitleCardsTest, EachTimeShowsItsCard) {
    EXPECT_TRUE(colourNear(centreAt(0.0f), firstCard, 1));
    EXPECT_TRUE(colourNear(centreAt(std::nextafter(7.393f, 0.0f)), firstCard, 1));
    EXPECT_TRUE(colourNear(centreAt(7.392999f), firstCard, 1));
    EXPECT_TRUE(colourNear(centreAt(7.393f), secondCard, 1));
    EXPECT_TRUE(colourNear(centreAt(std::nextafter(11.89f, 0.0f)), secondCard, 1));
    EXPECT_TRUE(colourNear(centreAt(11.89f), thirdCard, 1));
    EXPECT_TRUE(colourNear(centreAt(14.7f), thirdCard, 1));
    EXPECT_TRUE(colourNear(centreAt(5000.0f), thirdCard, 1));
}

TEST_F(TitleCardsTest, CardCoversTheWholeRegion) {
    fillSlot(30, 4, 4, [](int, int) { return solid(255, 255, 255); });
    enterDrawContext({1.0f, 1.0f, 1.0f});
    cards.draw(1.0f);
    const std::vector<Rgb> region = readRegion();
    for (std::size_t i = 0; i < region.size(); ++i) {
        ASSERT_TRUE(colourNear(region[i], solid(255, 255, 255), 0))
            << "pixel (" << i % regionSide << ", " << i / regionSide << ")";
    }
}

TEST_F(TitleCardsTest, RowZeroOfThePictureIsAtTheTopAndColumnZeroAtTheLeft) {
    const Rgb topLeft = solid(250, 0, 0);
    const Rgb topRight = solid(0, 250, 0);
    const Rgb bottomLeft = solid(0, 0, 250);
    const Rgb bottomRight = solid(250, 250, 0);
    fillSlot(30, 64, 64, [&](int s, int t) {
        if (t < 32) {
            return s < 32 ? topLeft : topRight;
        }
        return s < 32 ? bottomLeft : bottomRight;
    });
    enterDrawContext({1.0f, 1.0f, 1.0f});
    cards.draw(2.0f);
    EXPECT_TRUE(colourNear(regionPixel(128, 384), topLeft, 1));
    EXPECT_TRUE(colourNear(regionPixel(384, 384), topRight, 1));
    EXPECT_TRUE(colourNear(regionPixel(128, 128), bottomLeft, 1));
    EXPECT_TRUE(colourNear(regionPixel(384, 128), bottomRight, 1));
}

TEST_F(TitleCardsTest, TintedCardIsAddedToTheBackdropAndClamped) {
    // A full-view pulse as the backdrop, then a card black on the left and white on the right.
    fillSlot(10, 8, 8, [](int, int) { return solid(100, 60, 20); });
    fillSlot(30, 64, 64, [](int s, int) { return s < 32 ? solid(0, 0, 0) : solid(255, 255, 255); });
    const BaseColour tint{0.5f, 1.0f, 0.8f};
    enterDrawContext(tint);
    PulseBackdrop backdrop;
    backdrop.draw(static_cast<float>(std::numbers::pi / 16));
    const Rgb backdropColour = regionPixel(100, 256);
    EXPECT_TRUE(colourNear(backdropColour, solid(50, 60, 16), 1));

    cards.draw(3.0f);
    EXPECT_TRUE(colourNear(regionPixel(100, 256), backdropColour, 0)) << "black texels add nothing";
    EXPECT_TRUE(colourNear(regionPixel(400, 256), solid(50 + 128, 255, 16 + 204), 1))
        << "white texels add the base colour";
    EXPECT_EQ(glIsEnabled(GL_BLEND), GL_FALSE);
    GLint source = 0;
    GLint destination = 0;
    glGetIntegerv(GL_BLEND_SRC, &source);
    glGetIntegerv(GL_BLEND_DST, &destination);
    EXPECT_EQ(source, GL_ONE);
    EXPECT_EQ(destination, GL_ONE);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), textureBank[30]);
}

} // namespace
