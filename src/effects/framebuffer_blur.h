#pragma once

#include "effects/blur_candidate.h"

#include <GL/gl.h>
#include <array>
#include <string>

// The reference's passes without the window: each pass draws the same four blended quads into a
// framebuffer-attached texture, the render target and one of its own in turn, so nothing is
// copied back. A driver that blends into a texture as into the window gives the reference's
// bytes; the blur that uses it checks that on the machine. Needs framebuffer objects from the
// demo's own GL, which the browser's subset offers.
class FramebufferBlur final : public BlurCandidate {
public:
    const char* name() const override { return "framebuffer"; }
    // Makes the second texture and the two framebuffers; false, with the finding set, when the
    // driver cannot draw into them.
    bool prepare(const FeedbackBlur& settings) override;
    // Leaves what FeedbackBlur::draw leaves, except that the whole window is cleared. Does
    // nothing but bind the slot's texture, and returns false, when it is no blur target.
    bool draw(int textureSlot, const FeedbackBlur& settings) override;
    std::string finding() const override { return failure; }

private:
    void attachRenderTarget(GLuint texture);
    void runPasses(GLuint renderTarget, const FeedbackBlur& settings) const;

    // The render target's and the second texture's; the names die with their context, which
    // outlives this blur only when nothing draws in it any more, so they are never deleted.
    std::array<GLuint, 2> framebuffers{};
    GLuint attachedRenderTarget = 0;
    GLuint secondTexture = 0;
    std::string failure;
};
