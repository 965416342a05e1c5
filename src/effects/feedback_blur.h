#pragma once

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

private:
    void blendPass() const;
};
