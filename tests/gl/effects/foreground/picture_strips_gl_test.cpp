#include "core/random.h"
#include "effects/picture_strips.h"
#include "foreground_gl_support.h"
#include "resources/texture_bank.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <vector>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#include <sanitizer/lsan_interface.h>
#define LUMIVAHA_LEAK_CHECKED 1
#endif
#endif

namespace {

constexpr BaseColour tint = {0.5f, 1.0f, 0.75f};
constexpr std::uint8_t backdropGrey = 64;

// Each slot's picture: a red that names the slot, green over blue in its top half (rows first
// uploaded, t < 0.5) and blue over green in its bottom half.
Rgba topColour(int slot) {
    return {static_cast<std::uint8_t>(16 + (slot - 20) * 16), 120, 40, 255};
}
Rgba bottomColour(int slot) {
    return {static_cast<std::uint8_t>(16 + (slot - 20) * 16), 40, 120, 255};
}

// The backdrop plus the picture's colour tinted by the current colour.
Rgba added(const Rgba& picture) {
    const double grey = backdropGrey / 255.0;
    return toBytes(grey + picture[0] / 255.0 * tint.red, grey + picture[1] / 255.0 * tint.green,
                   grey + picture[2] / 255.0 * tint.blue);
}

const Rgba backdrop = {backdropGrey, backdropGrey, backdropGrey, 255};

// Found by trying every millisecond of the run: here the sine taken in single precision gives
// another scale, rounded to a float, than the double-precision sine does.
constexpr float roundingSensitiveTime = 0.716f;

// The vertical window coordinates of every vertex in a GL_2D feedback buffer of polygons.
std::vector<float> feedbackHeights(const std::vector<GLfloat>& feedback, GLint used) {
    std::vector<float> heights;
    for (GLint at = 0; at + 1 < used;) {
        if (feedback[static_cast<std::size_t>(at)] != GL_POLYGON_TOKEN) {
            ADD_FAILURE() << "not a polygon in the feedback at " << at;
            return {};
        }
        const auto corners = static_cast<GLint>(feedback[static_cast<std::size_t>(at + 1)]);
        for (GLint corner = 0; corner < corners; ++corner) {
            heights.push_back(feedback[static_cast<std::size_t>(at + 3 + 2 * corner)]);
        }
        at += 2 + 2 * corners;
    }
    return heights;
}

class PictureStripsGlTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(context.ready());
        for (int slot = 20; slot <= 29; ++slot) {
            textureBank[static_cast<std::size_t>(slot)] =
                makeTopBottomTexture(topColour(slot), bottomColour(slot));
        }
        seedRandom(321);
    }

    // A grey backdrop with the band drawn over it.
    void drawOverBackdrop(float seconds) {
        enterDrawContext(tint);
        glClearColor(backdropGrey / 255.0f, backdropGrey / 255.0f, backdropGrey / 255.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        strips.draw(seconds);
    }

    // The band's left and right edges in pixels for the scale k: x from -0.5k to 0.5k at depth
    // 1, where the 90-degree 4:3 view spans 4/3 either side.
    static std::array<double, 2> bandEdges(double scale) {
        const double half = 0.5 * scale / (4.0 / 3.0) * 256.0;
        return {256.0 - half, 256.0 + half};
    }

    void expectBandBetween(const std::array<double, 2>& edges, int row) {
        const int inside = 3;
        EXPECT_FALSE(sameColour(readPixel(static_cast<int>(edges[0]) + inside, row), backdrop, 2));
        EXPECT_FALSE(sameColour(readPixel(static_cast<int>(edges[1]) - inside, row), backdrop, 2));
        EXPECT_TRUE(colourNear(readPixel(static_cast<int>(edges[0]) - inside, row), backdrop, 0));
        EXPECT_TRUE(colourNear(readPixel(static_cast<int>(edges[1]) + inside, row), backdrop, 0));
    }

    // The top of the band as GL places it, in feedback mode. The projection halves x, y and z
    // and the viewport maps -1 .. 1 onto -256 .. 256, so every step is exact and the top
    // corners come back at 128 k for the scale k.
    float bandTopSeenByGl(float seconds) {
        enterDrawContext(tint);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glScalef(0.5f, 0.5f, 0.5f);
        glMatrixMode(GL_MODELVIEW);
        glViewport(-256, -256, 512, 512);
        std::vector<GLfloat> feedback(256);
        glFeedbackBuffer(static_cast<GLsizei>(feedback.size()), GL_2D, feedback.data());
        glRenderMode(GL_FEEDBACK);
        strips.draw(seconds);
        const GLint used = glRenderMode(GL_RENDER);
        const std::vector<float> heights = feedbackHeights(feedback, used);
        // Both quads, in whatever polygons the driver splits them into.
        EXPECT_GE(heights.size(), 8u);
        return heights.empty() ? 0.0f : *std::max_element(heights.begin(), heights.end());
    }

    GlTestContext context;
    PictureStrips strips;
};

TEST_F(PictureStripsGlTest, BandAddsTheTintedPicturesOntoTheBackdrop) {
    drawOverBackdrop(0.0f);
    const int upper = strips.upperSlot;
    const int lower = strips.lowerSlot;
    ASSERT_GE(upper, 20);
    ASSERT_LE(upper, 25);
    ASSERT_GE(lower, 26);
    ASSERT_LE(lower, 29);
    // Upper half: the picture's top at the top of the view, its bottom just above the middle.
    EXPECT_TRUE(colourNear(readPixel(256, 480), added(topColour(upper)), 2));
    EXPECT_TRUE(colourNear(readPixel(256, 280), added(bottomColour(upper)), 2));
    // Lower half: the picture's top just below the middle, its bottom at the foot of the view.
    EXPECT_TRUE(colourNear(readPixel(256, 230), added(topColour(lower)), 2));
    EXPECT_TRUE(colourNear(readPixel(256, 30), added(bottomColour(lower)), 2));
    // Outside the band the backdrop is untouched.
    EXPECT_TRUE(colourNear(readPixel(60, 256), backdrop, 0));
    EXPECT_TRUE(colourNear(readPixel(450, 400), backdrop, 0));
}

TEST_F(PictureStripsGlTest, BandSpansTheMiddleOfTheViewTopToBottom) {
    drawOverBackdrop(0.0f);
    // Scale 1.2: a little beyond the view at the top and the bottom.
    for (const int row : {0, 100, 255, 256, 400, 511}) {
        expectBandBetween(bandEdges(1.2), row);
    }
}

TEST_F(PictureStripsGlTest, BandBreathesBetweenOnePointOneAndOnePointThree) {
    drawOverBackdrop(static_cast<float>(M_PI / 2));
    expectBandBetween(bandEdges(1.3), 256);
    drawOverBackdrop(static_cast<float>(3 * M_PI / 2));
    expectBandBetween(bandEdges(1.1), 256);
}

TEST_F(PictureStripsGlTest, ScaleIsTheSineTakenInDoublePrecision) {
#ifdef LUMIVAHA_LEAK_CHECKED
    // Mesa's software driver never frees what it builds for feedback mode and for drawing after
    // it; the leak checker would blame that on this test.
    __lsan::ScopedDisabler mesaFeedbackState;
#endif
    const auto expected =
        static_cast<float>(0.1 * std::sin(static_cast<double>(roundingSensitiveTime)) + 1.2);
    ASSERT_NE(static_cast<float>(std::sin(roundingSensitiveTime) * 0.1 + 1.2), expected)
        << "the time no longer tells single from double precision apart";
    EXPECT_EQ(bandTopSeenByGl(roundingSensitiveTime), 128.0f * expected);
    EXPECT_EQ(bandTopSeenByGl(0.0f), 128.0f * 1.2f);
}

TEST_F(PictureStripsGlTest, LeavesBlendingOffTheLowerPictureBoundAndTheIdentity) {
    enterDrawContext(tint);
    glTranslatef(4.0f, 5.0f, 6.0f);
    strips.draw(1.0f);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), textureBank[static_cast<std::size_t>(strips.lowerSlot)]);
    expectMatrixNear(currentMatrix(GL_MODELVIEW_MATRIX), identityMatrix(), 0.0);
    EXPECT_EQ(modelviewStackDepth(), 1);
    GLfloat current[4] = {};
    glGetFloatv(GL_CURRENT_COLOR, current);
    EXPECT_EQ((std::array{current[0], current[1], current[2], current[3]}),
              (std::array{tint.red, tint.green, tint.blue, 1.0f}));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

} // namespace
