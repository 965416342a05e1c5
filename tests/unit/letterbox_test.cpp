#include "platform/letterbox.h"

#include <gtest/gtest.h>

namespace {

using platform::letterbox;
using platform::ScreenRect;

TEST(LetterboxTest, WideScreenGetsBarsLeftAndRight) {
    EXPECT_EQ(letterbox(800, 600, 1280, 720), (ScreenRect{160, 0, 960, 720}));
    EXPECT_EQ(letterbox(800, 600, 1920, 1080), (ScreenRect{240, 0, 1440, 1080}));
}

TEST(LetterboxTest, TallScreenGetsBarsAboveAndBelow) {
    EXPECT_EQ(letterbox(800, 600, 1024, 1280), (ScreenRect{0, 256, 1024, 768}));
}

TEST(LetterboxTest, SameAspectFillsTheScreen) {
    EXPECT_EQ(letterbox(800, 600, 800, 600), (ScreenRect{0, 0, 800, 600}));
    EXPECT_EQ(letterbox(800, 600, 1600, 1200), (ScreenRect{0, 0, 1600, 1200}));
}

TEST(LetterboxTest, DegenerateSizesNeverDivideByZero) {
    EXPECT_EQ(letterbox(800, 600, 0, 0), ScreenRect{});
    EXPECT_EQ(letterbox(0, 600, 800, 600), ScreenRect{});
    // A sliver of a window still shows a pixel of the picture.
    const ScreenRect sliver = letterbox(800, 600, 3000, 1);
    EXPECT_EQ(sliver.height, 1);
    EXPECT_EQ(sliver.width, 1);
}

} // namespace
