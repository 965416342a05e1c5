#pragma once

#include <array>

// Softens the picture of a 512x512 render-target texture in place: each pass blends four
// diagonally shifted copies of the texture over the lower-left 512x512 pixels and copies them
// back. Not an Effect: it works on a texture slot.
class FeedbackBlur {
public:
    FeedbackBlur() = default;
    virtual ~FeedbackBlur() = default;
    FeedbackBlur(const FeedbackBlur&) = delete;
    FeedbackBlur& operator=(const FeedbackBlur&) = delete;

    // Expects GL_MODELVIEW current, the 90-degree 4:3 perspective, blending off and the depth
    // test on. Leaves the viewport at 800x600, the slot's texture bound and enabled, and the
    // window outside the lower-left square cleared. seconds is ignored.
    virtual void draw(int textureSlot, float seconds);

    int passCount = 4;
    // Overwritten with verticalSpread by every draw, so both shifts are always equal.
    float horizontalSpread = 0.1f;
    float verticalSpread = 0.1f;
};

// The texture shifts (s0, t0) of the four quads of a pass, in drawing order: (-d, +d), (+d, +d),
// (+d, -d), (-d, -d) with d each spread x 0.01.
using BlurQuadShifts = std::array<std::array<float, 2>, 4>;
BlurQuadShifts blurQuadShifts(float horizontalSpread, float verticalSpread);
// Alphas 255, 127, 63 and 31, in drawing order.
inline constexpr std::array<int, 4> blurQuadAlphas = {255, 127, 63, 31};
// The quad that covers the 512x512 region at depth 1, its texture shifted by (s0, t0).
void emitBlurQuad(float s0, float t0);
// One pass: the four quads with their alphas, all sampling the bound texture as it stood when
// the pass began; the first is opaque and replaces the region, the others blend over it with
// falling weights.
void drawBlurPass(const BlurQuadShifts& shifts);
// Whether the bound texture is a picture the faster blurs take: 512x512 GL_RGB with linear
// filters and repeat wrap, as the render target is from its first blur on.
bool boundTextureIsBlurTarget();
