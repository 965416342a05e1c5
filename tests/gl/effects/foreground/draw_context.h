#pragma once

#include "core/base_colour.h"
#include "gl/gl_matrix.h"
#include "gl/gl_test_context.h"

#include <GL/gl.h>
#include <array>
#include <cstdint>
#include <gtest/gtest.h>
#include <vector>

using Vec3 = std::array<double, 3>;

// The state the frame driver leaves for the effects: the 512x512 viewport, cleared buffers, the
// start-up projection, identity modelview, depth test on, blending and texturing off with a
// texture of its own bound, and the base colour current.
void enterDrawContext(const BaseColour& colour);

// A texture of one colour, nearest filtering.
GLuint makeSolidTexture(std::uint8_t red, std::uint8_t green, std::uint8_t blue, int side = 8);
// A texture whose rows 0 .. side / 2 - 1 (its top, t < 0.5) hold one colour and the rest another.
GLuint makeTopBottomTexture(const Rgba& top, const Rgba& bottom, int side = 8);

int modelviewStackDepth();

// Where a point lands in the 512x512 viewport under a 90-degree, 4:3 camera at eye looking at
// target with up (0, 1, 0): window x and y in pixels.
std::array<double, 2> projectThroughCamera(const Vec3& point, const Vec3& eye, const Vec3& target);

// The colour as 8-bit channels, each clamped to [0, 1] first.
Rgba toBytes(double red, double green, double blue);
// Channels within tolerance of each other, alpha ignored.
bool sameColour(const Rgba& a, const Rgba& b, int tolerance);
::testing::AssertionResult colourNear(const Rgba& actual, const Rgba& expected, int tolerance);
