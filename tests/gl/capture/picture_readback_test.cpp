#include "capture_test_files.h"
#include "common/png_writer.h"
#include "picture_readback.h"
#include "support/gl_test_context.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

namespace {

void fillRectangle(int x, int y, int width, int height, float red, float green, float blue) {
    glEnable(GL_SCISSOR_TEST);
    glScissor(x, y, width, height);
    glClearColor(red, green, blue, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
}

TEST(PictureReadbackTest, ThePictureComesBackWholeAndAPngShowsItUpright) {
    GlTestContext context;
    ASSERT_TRUE(context.ready());
    fillRectangle(0, 0, 800, 600, 0.0f, 0.0f, 0.0f);
    // Red at the bottom left, blue at the top right, one green pixel at the very top left.
    fillRectangle(0, 0, 100, 50, 1.0f, 0.0f, 0.0f);
    fillRectangle(700, 550, 100, 50, 0.0f, 0.0f, 1.0f);
    fillRectangle(0, 599, 1, 1, 0.0f, 1.0f, 0.0f);
    // A pack alignment the demo might have left must not skew the rows.
    glPixelStorei(GL_PACK_ALIGNMENT, 8);
    std::vector<std::uint8_t> pixels;
    readPicture(pixels);
    ASSERT_EQ(pixels.size(), 800u * 600u * 3u);
    GLint alignment = 0;
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 8);
    EXPECT_EQ(pixels[0], 255);
    EXPECT_EQ(pixels[2], 0);
    const std::size_t lastPixel = pixels.size() - 3;
    EXPECT_EQ(pixels[lastPixel + 2], 255);

    ScratchDirectory scratch;
    std::string reason;
    ASSERT_TRUE(writePngFile(scratch.file("p.png"), pixels.data(), 800, 600,
                             PngRowOrder::bottomFirst, PngPurpose::frame, reason))
        << reason;
    capturetest::Picture picture;
    ASSERT_TRUE(capturetest::readPng(scratch.file("p.png"), picture, reason)) << reason;
    const auto colour = [&](int x, int y) {
        const std::uint8_t* p = picture.pixel(x, y);
        return std::array<int, 3>{p[0], p[1], p[2]};
    };
    EXPECT_EQ(colour(0, 0), (std::array<int, 3>{0, 255, 0}));
    EXPECT_EQ(colour(1, 0), (std::array<int, 3>{0, 0, 0}));
    EXPECT_EQ(colour(799, 0), (std::array<int, 3>{0, 0, 255}));
    EXPECT_EQ(colour(0, 599), (std::array<int, 3>{255, 0, 0}));
    EXPECT_EQ(colour(99, 550), (std::array<int, 3>{255, 0, 0}));
    EXPECT_EQ(colour(100, 599), (std::array<int, 3>{0, 0, 0}));
    EXPECT_EQ(colour(700, 49), (std::array<int, 3>{0, 0, 255}));
    EXPECT_EQ(colour(699, 49), (std::array<int, 3>{0, 0, 0}));
}

} // namespace
