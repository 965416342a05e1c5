#include "effect_gl_fixture.h"

#include "resources/texture_bank.h"

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

bool isBlack(const Rgb& colour) {
    return colour[0] == 0 && colour[1] == 0 && colour[2] == 0;
}
