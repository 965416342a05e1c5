#include "effects/water_ripple.h"
#include "foreground_gl_support.h"
#include "resources/texture_bank.h"

#include <GL/glu.h>
#include <algorithm>
#include <gtest/gtest.h>
#include <memory>

namespace {

constexpr int waterSlot = 40;
constexpr int side = 512;

// Picture quadrants as uploaded: rows 0 .. 255 are the top of the picture (t < 0.5).
const Rgba topLeft = {220, 40, 40, 255};
const Rgba topRight = {40, 220, 40, 255};
const Rgba bottomLeft = {40, 40, 220, 255};
const Rgba bottomRight = {220, 220, 40, 255};

GLuint makeQuadrantTexture() {
    std::vector<std::uint8_t> pixels;
    for (int row = 0; row < side; ++row) {
        for (int column = 0; column < side; ++column) {
            const bool top = row < side / 2;
            const bool left = column < side / 2;
            const Rgba& colour =
                top ? (left ? topLeft : topRight) : (left ? bottomLeft : bottomRight);
            pixels.insert(pixels.end(), colour.begin(), colour.end());
        }
    }
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, side, side, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 pixels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    return name;
}

std::vector<Rgba> textureContents(GLuint name) {
    std::vector<Rgba> texels(static_cast<std::size_t>(side) * side);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    return texels;
}

// How far in front of the eye the surface drawn at the pixel lies, from the depth buffer under the
// start-up projection (near 0.1, far 2000).
double distanceAt(int x, int y) {
    GLfloat depth = 0;
    glReadPixels(x, y, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    const double nearPlane = 0.1;
    const double farPlane = 2000.0;
    const double a = (farPlane + nearPlane) / (nearPlane - farPlane);
    const double b = 2.0 * farPlane * nearPlane / (nearPlane - farPlane);
    const double ndc = 2.0 * depth - 1.0;
    return b / (ndc + a);
}

class WaterRippleGlTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(context.ready());
        enterDrawContext({1.0f, 1.0f, 1.0f});
    }

    std::size_t cell(int row, int column) const {
        return static_cast<std::size_t>(row * WaterRipple::columns + column);
    }

    GlTestContext context;
    std::unique_ptr<WaterRipple> water = std::make_unique<WaterRipple>();
};

TEST_F(WaterRippleGlTest, FlatWaterLaysThePictureOverTheWholeSquareAndCopiesItBack) {
    textureBank[waterSlot] = makeQuadrantTexture();
    // Whatever the draw clears to must be painted over everywhere.
    glClearColor(1.0f, 0.0f, 1.0f, 1.0f);
    glTranslatef(7.0f, 8.0f, 9.0f);
    const Matrix entry = currentMatrix(GL_MODELVIEW_MATRIX);
    water->draw(waterSlot, 123.0f);

    const std::vector<Rgba> drawn = readPixels(0, 0, side, side);
    const Rgba magenta = {255, 0, 255, 255};
    EXPECT_EQ(std::count_if(drawn.begin(), drawn.end(),
                            [&](const Rgba& p) { return sameColour(p, magenta, 8); }),
              0);
    // The picture's top at the top of the square, its left at the left.
    EXPECT_TRUE(colourNear(readPixel(60, 450), topLeft, 0));
    EXPECT_TRUE(colourNear(readPixel(450, 450), topRight, 0));
    EXPECT_TRUE(colourNear(readPixel(60, 60), bottomLeft, 0));
    EXPECT_TRUE(colourNear(readPixel(450, 60), bottomRight, 0));

    // The square went back into the slot's texture, bottom row first as read.
    const std::vector<Rgba> texture = textureContents(textureBank[waterSlot]);
    std::size_t differing = 0;
    for (std::size_t i = 0; i < drawn.size(); ++i) {
        differing += sameColour(drawn[i], texture[i], 0) ? 0 : 1;
    }
    EXPECT_EQ(differing, 0u);

    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ((std::array{viewport[0], viewport[1], viewport[2], viewport[3]}),
              (std::array{0, 0, 800, 600}));
    expectMatrixNear(currentMatrix(GL_MODELVIEW_MATRIX), entry, 0.0);
    EXPECT_EQ(modelviewStackDepth(), 1);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(WaterRippleGlTest, RaisedWaterIsDrawnDarkerAndNearer) {
    textureBank[waterSlot] = makeSolidTexture(200, 200, 200, side);
    // A 3x3 block of 9 about (24, 32): the vertex there smooths to 8 * 9 / 9 = 8, grey
    // 1 - 8 / 64 = 0.875, lifted by 2 towards the viewer.
    for (int row = 23; row <= 25; ++row) {
        for (int column = 31; column <= 33; ++column) {
            water->heights[cell(row, column)] = 9;
        }
    }
    water->draw(waterSlot, 0.0f);
    // Column 32 lies at x = 0.5 and row 24 at y = 0, now at depth 23 - 2 = 21.
    const int x = static_cast<int>(256.0 + 0.5 / (21.0 * 4.0 / 3.0) * 256.0);
    EXPECT_TRUE(colourNear(readPixel(x, 256),
                           toBytes(0.875 * 200 / 255, 0.875 * 200 / 255, 0.875 * 200 / 255), 4));
    EXPECT_NEAR(distanceAt(x, 256), 21.0, 0.2);
    EXPECT_NEAR(distanceAt(100, 100), 23.0, 0.05);
    EXPECT_TRUE(colourNear(readPixel(100, 100), {200, 200, 200, 255}, 1));
    EXPECT_TRUE(colourNear(readPixel(400, 420), {200, 200, 200, 255}, 1));
}

} // namespace
