// The framebuffer calls are declared with the extensions, which GL/gl.h includes.
#define GL_GLEXT_PROTOTYPES
#include "effects/framebuffer_blur.h"

#include "effects/effect.h"
#include "resources/texture_bank.h"

namespace {

constexpr int side = 512;

bool framebufferIsComplete(GLuint framebuffer) {
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return complete;
}

void attach(GLuint framebuffer, GLuint texture) {
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

} // namespace

bool FramebufferBlur::prepare(const FeedbackBlur&) {
    glGenTextures(1, &secondTexture);
    glBindTexture(GL_TEXTURE_2D, secondTexture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, side, side, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glGenFramebuffers(2, framebuffers.data());
    attach(framebuffers[1], secondTexture);
    if (!framebufferIsComplete(framebuffers[1])) {
        failure = "cannot draw into a 512x512 GL_RGB texture here";
        return false;
    }
    return true;
}

bool FramebufferBlur::draw(int textureSlot, const FeedbackBlur& settings) {
    const GLuint renderTarget = textureBank[static_cast<std::size_t>(textureSlot)];
    glBindTexture(GL_TEXTURE_2D, renderTarget);
    if (secondTexture == 0 || !boundTextureIsBlurTarget()) {
        return false;
    }
    attachRenderTarget(renderTarget);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glPushMatrix();
    glLoadIdentity();
    glViewport(0, 0, side, side);
    glTranslatef(0.0f, 0.0f, -1.0f);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_DEPTH_TEST);
    runPasses(renderTarget, settings);
    glBindTexture(GL_TEXTURE_2D, renderTarget);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glViewport(0, 0, surfaceWidth, surfaceHeight);
    glPopMatrix();
    return true;
}

// A new cycle's render target is a new texture.
void FramebufferBlur::attachRenderTarget(GLuint texture) {
    if (texture != attachedRenderTarget) {
        attach(framebuffers[0], texture);
        attachedRenderTarget = texture;
    }
}

// Even passes read the render target and draw into the second texture, odd ones the other way;
// after an odd count the result is copied home from the second texture's framebuffer.
void FramebufferBlur::runPasses(GLuint renderTarget, const FeedbackBlur& settings) const {
    const std::array<GLuint, 2> textures = {renderTarget, secondTexture};
    const BlurQuadShifts shifts =
        blurQuadShifts(settings.horizontalSpread, settings.verticalSpread);
    for (int pass = 0; pass < settings.passCount; ++pass) {
        const std::size_t from = static_cast<std::size_t>(pass % 2);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffers[1 - from]);
        glBindTexture(GL_TEXTURE_2D, textures[from]);
        drawBlurPass(shifts);
    }
    if (settings.passCount % 2 == 1) {
        glBindTexture(GL_TEXTURE_2D, renderTarget);
        glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, side, side);
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}
