#include "resource_test_files.h"
#include "resources/jpeg_reader.h"
#include "resources/texture_bank.h"
#include "support/gl_test_context.h"
#include "texture_probe.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

namespace {

class PictureUploadTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(context.ready()); }

    std::string writePicture(const std::string& name, const TestPicture& picture) {
        const std::string path = directory.file(name);
        writeBytes(path, encodeJpeg(picture, 95));
        return path;
    }

    GlTestContext context;
    ScratchDirectory directory;
    TextureBank bank{};
};

// The quadrant picture's colours: red top left, green top right, blue bottom left, white.
void expectColourNear(const std::uint8_t* rgb, int red, int green, int blue) {
    EXPECT_NEAR(rgb[0], red, 16);
    EXPECT_NEAR(rgb[1], green, 16);
    EXPECT_NEAR(rgb[2], blue, 16);
}

TEST_F(PictureUploadTest, OddSizedPictureIsRescaledWithMipmaps) {
    loadPicture(bank, writePicture("wide.jpg", makeQuadrantPicture(300, 200, 3)), 10);
    const TextureLevel level = readTextureLevel(bank[10], 0);
    ASSERT_EQ(level.width, 256);
    ASSERT_EQ(level.height, 256);
    // The rescaled picture keeps its quadrants: sample the middle of each.
    const auto texel = [&level](int s, int t) {
        return &level.rgb[static_cast<std::size_t>((t * 256 + s) * 3)];
    };
    expectColourNear(texel(64, 64), 230, 20, 20);
    expectColourNear(texel(192, 64), 20, 230, 20);
    expectColourNear(texel(64, 192), 20, 20, 230);
    expectColourNear(texel(192, 192), 240, 240, 240);
    for (int l = 1; l <= 8; ++l) {
        EXPECT_EQ(levelParameter(bank[10], l, GL_TEXTURE_WIDTH), 256 >> l) << l;
    }
    EXPECT_EQ(levelParameter(bank[10], 9, GL_TEXTURE_WIDTH), 0);
}

TEST_F(PictureUploadTest, RowsOfAnyLengthArriveIntact) {
    // Rows of 6 and 12 bytes, with the caller's alignment of 8 fitting neither.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 8);
    const std::pair<int, int> sizes[] = {{2, 8}, {4, 4}, {1, 16}};
    int slot = 20;
    for (const auto& [width, height] : sizes) {
        SCOPED_TRACE(width);
        const std::string path = writePicture("narrow.jpg", makeGradientPicture(width, height));
        loadPicture(bank, path, slot);
        const auto decoded = readJpegFile(path);
        ASSERT_NE(decoded, nullptr);
        const TextureLevel level = readTextureLevel(bank[static_cast<std::size_t>(slot)], 0);
        ASSERT_EQ(level.width, width);
        ASSERT_EQ(level.height, height);
        EXPECT_EQ(level.rgb, std::vector<std::uint8_t>(decoded->pixels.get(),
                                                       decoded->pixels.get() + width * height * 3));
        ++slot;
    }
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 8);
}

TEST_F(PictureUploadTest, GrayscalePictureBecomesAnRgbTexture) {
    loadPicture(bank, writePicture("gray.jpg", makeQuadrantPicture(16, 16, 1)), 13);
    const TextureLevel level = readTextureLevel(bank[13], 0);
    ASSERT_EQ(level.width, 16);
    // Gray levels 10 (top left) and 200 (bottom right) in every channel.
    expectColourNear(&level.rgb[0], 10, 10, 10);
    expectColourNear(&level.rgb[level.rgb.size() - 3], 200, 200, 200);
}

// Draws the texture over the whole picture with one texture coordinate everywhere.
Rgba drawSampling(GLuint name, float s, float t) {
    glViewport(0, 0, 800, 600);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glBegin(GL_QUADS);
    glTexCoord2f(s, t);
    glVertex2f(-1, -1);
    glVertex2f(1, -1);
    glVertex2f(1, 1);
    glVertex2f(-1, 1);
    glEnd();
    glDisable(GL_TEXTURE_2D);
    return readPixel(400, 300);
}

TEST_F(PictureUploadTest, TopRowOfThePictureIsTextureRowZero) {
    loadPicture(bank, writePicture("top.jpg", makeQuadrantPicture(64, 64, 3)), 11);
    const TextureLevel level = readTextureLevel(bank[11], 0);
    expectColourNear(&level.rgb[0], 230, 20, 20);
    // Drawn, t near 0 shows the top of the picture and t near 1 its bottom.
    const Rgba nearTop = drawSampling(bank[11], 0.25f, 0.1f);
    expectColourNear(nearTop.data(), 230, 20, 20);
    const Rgba nearBottom = drawSampling(bank[11], 0.25f, 0.9f);
    expectColourNear(nearBottom.data(), 20, 20, 230);
}

} // namespace
