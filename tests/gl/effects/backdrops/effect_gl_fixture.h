#pragma once

#include "support/effect_draw_context.h"
#include "support/gl_test_context.h"

#include <GL/gl.h>
#include <array>
#include <cstdint>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

using Rgb = std::array<std::uint8_t, 3>;

// A texel pattern: the colour at column s and row t, row 0 being t = 0.
using TexelPattern = std::function<Rgb(int s, int t)>;

// A real context in the state the frame driver hands to the effects (enterDrawContext), with
// white as the base colour and an empty texture bank.
class EffectGlTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A texture with linear filtering and the default repeat wrap, put in the bank's slot.
    GLuint fillSlot(int slot, int width, int height, const TexelPattern& pattern);

    GlTestContext context;
};

// The colour of a pixel of the 512x512 region, and of the whole region, bottom row first.
Rgb regionPixel(int x, int y);
std::vector<Rgb> readRegion();

// The region pixel showing the point (x, y) of a plane at the given distance in front of the
// eye, under the 90-degree 4:3 projection.
struct PixelPosition {
    int x;
    int y;
};
PixelPosition pixelAt(double x, double y, double distance);

// Level 0 of the texture, rows bottom-up (row 0 is t = 0).
std::vector<Rgb> readTexture(GLuint name, int width, int height);

Rgb solid(std::uint8_t red, std::uint8_t green, std::uint8_t blue);
bool isBlack(const Rgb& colour);
