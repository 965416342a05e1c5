#include "platform/virtual_display.h"
#include "support/gl_test_context.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>

namespace {

bool isBlack(const Rgba& pixel) {
    return pixel[0] == 0 && pixel[1] == 0 && pixel[2] == 0;
}

TEST(VirtualDisplayTest, DrawingGoesIntoTheFixedSizePictureAndReadsBackExactly) {
    GlTestContext context;
    ASSERT_TRUE(context.ready());
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 800);
    EXPECT_EQ(viewport[3], 600);
    glClearColor(0.2f, 0.4f, 0.6f, 0.5f);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    glScissor(799, 599, 1, 1);
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    EXPECT_EQ(readPixel(0, 0), (Rgba{51, 102, 153, 128}));
    EXPECT_EQ(readPixel(799, 599), (Rgba{255, 0, 0, 255}));
    // The picture has a depth buffer of its own.
    GLint depthBits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    EXPECT_GE(depthBits, 24);
}

TEST(VirtualDisplayTest, PresentLetterboxesThePictureOnBlackAndRestoresTheDemoState) {
    GlTestContext context;
    ASSERT_TRUE(context.ready());
    platform::VirtualDisplay display;
    ASSERT_TRUE(display.create(platform::glProcAddress, 200, 100, 16));
    glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0.25f, 0.5f, 0.75f, 1.0f);

    display.present(800, 600); // 2:1 onto 4:3: 800x400 with bars of 100 above and below

    auto bindReadFramebuffer =
        reinterpret_cast<PFNGLBINDFRAMEBUFFERPROC>(platform::glProcAddress("glBindFramebuffer"));
    bindReadFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadBuffer(GL_BACK);
    EXPECT_TRUE(isBlack(readPixel(400, 50)));
    EXPECT_TRUE(isBlack(readPixel(400, 99)));
    EXPECT_EQ(readPixel(400, 100), (Rgba{0, 255, 0, 255}));
    EXPECT_EQ(readPixel(0, 300), (Rgba{0, 255, 0, 255}));
    EXPECT_EQ(readPixel(799, 499), (Rgba{0, 255, 0, 255}));
    EXPECT_TRUE(isBlack(readPixel(400, 500)));

    GLfloat clearColour[4] = {};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColour);
    EXPECT_EQ(clearColour[0], 0.25f);
    EXPECT_EQ(clearColour[2], 0.75f);
    GLint drawFramebuffer = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawFramebuffer);
    EXPECT_NE(drawFramebuffer, 0) << "the picture must be bound for drawing again";
    display.destroy();
}

TEST(VirtualDisplayTest, SwapKeepsThePictureBoundFrameAfterFrame) {
    GlTestContext context;
    ASSERT_TRUE(context.ready());
    for (int frame = 0; frame < 3; ++frame) {
        const float level = 0.25f * static_cast<float>(frame + 1);
        glClearColor(level, level, level, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        const auto expected = static_cast<std::uint8_t>(level * 255.0f + 0.5f);
        EXPECT_EQ(readPixel(400, 300)[0], expected) << "frame " << frame;
        context.swap();
    }
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 800);
}

} // namespace
