#include "effect_gl_fixture.h"

#include "resources/texture_bank.h"

#include <GL/glu.h>
#include <cstdlib>

void EffectGlTest::SetUp() {
    ASSERT_TRUE(context.ready()) << "no GL context: is DISPLAY set to a running Xvfb?";
    textureBank.fill(0);
    enterDrawContext({1.0f, 1.0f, 1.0f});
}

void EffectGlTest::TearDown() {
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    // The names die with the context; the bank must not point at them afterwards.
    textureBank.fill(0);
}

void EffectGlTest::enterDrawContext(const BaseColour& colour) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(90.0, 800.0 / 600.0, 0.1, 2000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glViewport(0, 0, regionSide, regionSide);
    glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, textureBank[10]);
    glDisable(GL_TEXTURE_2D);
    glColor3f(colour.red, colour.green, colour.blue);
}

GLuint EffectGlTest::fillSlot(int slot, int width, int height, const TexelPattern& pattern) {
    std::vector<Rgb> texels;
    texels.reserve(static_cast<std::size_t>(width * height));
    for (int t = 0; t < height; ++t) {
        for (int s = 0; s < width; ++s) {
            texels.push_back(pattern(s, t));
        }
    }
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE,
                 texels.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    textureBank[static_cast<std::size_t>(slot)] = name;
    return name;
}

std::vector<Rgb> readRegion() {
    std::vector<Rgb> pixels(static_cast<std::size_t>(regionSide * regionSide));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, regionSide, regionSide, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    return pixels;
}

Rgb regionPixel(int x, int y) {
    const Rgba pixel = readPixel(x, y);
    return {pixel[0], pixel[1], pixel[2]};
}

PixelPosition pixelAt(double x, double y, double distance) {
    const double halfHeight = distance;
    const double halfWidth = distance * 4.0 / 3.0;
    const double half = regionSide / 2.0;
    return {static_cast<int>((x / halfWidth + 1.0) * half),
            static_cast<int>((y / halfHeight + 1.0) * half)};
}

std::vector<Rgb> readTexture(GLuint name, int width, int height) {
    std::vector<Rgb> texels(static_cast<std::size_t>(width * height));
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    return texels;
}

Rgb solid(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return {red, green, blue};
}

bool near(const Rgb& actual, const Rgb& expected, int tolerance) {
    for (std::size_t channel = 0; channel < 3; ++channel) {
        if (std::abs(actual[channel] - expected[channel]) > tolerance) {
            return false;
        }
    }
    return true;
}

testing::AssertionResult matchesColour(const Rgb& actual, const Rgb& expected, int tolerance) {
    if (near(actual, expected, tolerance)) {
        return testing::AssertionSuccess();
    }
    return testing::AssertionFailure()
           << "(" << int(actual[0]) << ", " << int(actual[1]) << ", " << int(actual[2])
           << ") is not (" << int(expected[0]) << ", " << int(expected[1]) << ", "
           << int(expected[2]) << ") within " << tolerance;
}

bool isBlack(const Rgb& colour) {
    return colour[0] == 0 && colour[1] == 0 && colour[2] == 0;
}
