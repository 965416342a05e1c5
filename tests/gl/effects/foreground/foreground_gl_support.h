#pragma once

#include "support/effect_draw_context.h"
#include "support/gl_matrix.h"
#include "support/gl_test_context.h"

#include <GL/gl.h>
#include <array>
#include <cstdint>
#include <vector>

using Vec3 = std::array<double, 3>;

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
