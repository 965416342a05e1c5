#pragma once

#include "core/base_colour.h"
#include "gl/gl_test_context.h"

#include <GL/gl.h>
#include <array>
#include <cstdint>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

using Rgb = std::array<std::uint8_t, 3>;

// A texel pattern: the colour at column s and row t, row 0 being t = 0.
using TexelPattern = std::function<Rgb(int s, int t)>;

inline constexpr int regionSide = 512;

// A real context in the state the frame driver hands to the effects: the 512x512 region, the
// start-up's 90-degree 4:3 projection, a cleared frame, depth test on, texturing and blending
// off, GL_MODELVIEW current with the identity, and the base colour current.
class EffectGlTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Clears the frame and restores the draw context, with the given colour current.
    void enterDrawContext(const BaseColour& colour);
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
// Every channel within tolerance.
bool near(const Rgb& actual, const Rgb& expected, int tolerance);
testing::AssertionResult matchesColour(const Rgb& actual, const Rgb& expected, int tolerance);
bool isBlack(const Rgb& colour);
