#include "effects/feedback_blur.h"

#include "effects/effect.h"
#include "resources/texture_bank.h"

#include <GL/gl.h>

namespace {

constexpr int regionSide = 512;

GLint levelParameter(GLenum name) {
    GLint value = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, name, &value);
    return value;
}

GLint textureParameter(GLenum name) {
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    return value;
}

} // namespace

BlurQuadShifts blurQuadShifts(float horizontalSpread, float verticalSpread) {
    auto ds = static_cast<float>(horizontalSpread * 0.01);
    auto dt = static_cast<float>(verticalSpread * 0.01);
    BlurQuadShifts shifts{};
    for (std::size_t j = 0; j < shifts.size(); ++j) {
        if (j == 2) {
            dt = -dt;
        } else {
            ds = -ds;
        }
        shifts[j] = {ds, dt};
    }
    return shifts;
}

// Corners always in this order; (s0, t0) shifts the whole texture.
void emitBlurQuad(float s0, float t0) {
    glTexCoord2f(s0, t0);
    glVertex2f(-fullViewHalfWidth, -1.0f);
    glTexCoord2f(s0, t0 + 1.0f);
    glVertex2f(-fullViewHalfWidth, 1.0f);
    glTexCoord2f(s0 + 1.0f, t0 + 1.0f);
    glVertex2f(fullViewHalfWidth, 1.0f);
    glTexCoord2f(s0 + 1.0f, t0);
    glVertex2f(fullViewHalfWidth, -1.0f);
}

void FeedbackBlur::draw(int textureSlot, float /*seconds*/) {
    glPushMatrix();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glViewport(0, 0, regionSide, regionSide);
    glTranslatef(0.0f, 0.0f, -1.0f);
    glBindTexture(GL_TEXTURE_2D, textureBank[static_cast<std::size_t>(textureSlot)]);
    glEnable(GL_TEXTURE_2D);
    glColor4f(1.0f, 1.0f, 1.0f, 0.5f);
    glBegin(GL_QUADS);
    emitBlurQuad(0.0f, 0.0f);
    glEnd();

    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_DEPTH_TEST);
    horizontalSpread = verticalSpread;
    // The count is read afresh after every pass.
    for (int pass = 0; pass < passCount; ++pass) {
        drawBlurPass(blurQuadShifts(horizontalSpread, verticalSpread));
        // GL_RGB on purpose: from here on the texture has no alpha, so the colour's alpha rules.
        glCopyTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 0, 0, regionSide, regionSide, 0);
    }
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, regionSide, regionSide);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glViewport(0, 0, surfaceWidth, surfaceHeight);
    glPopMatrix();
}

void drawBlurPass(const BlurQuadShifts& shifts) {
    glBegin(GL_QUADS);
    for (std::size_t j = 0; j < shifts.size(); ++j) {
        glColor4ub(255, 255, 255, static_cast<GLubyte>(blurQuadAlphas[j]));
        emitBlurQuad(shifts[j][0], shifts[j][1]);
    }
    glEnd();
}

bool boundTextureIsBlurTarget() {
    return levelParameter(GL_TEXTURE_WIDTH) == regionSide &&
           levelParameter(GL_TEXTURE_HEIGHT) == regionSide &&
           levelParameter(GL_TEXTURE_INTERNAL_FORMAT) == GL_RGB &&
           textureParameter(GL_TEXTURE_MIN_FILTER) == GL_LINEAR &&
           textureParameter(GL_TEXTURE_MAG_FILTER) == GL_LINEAR &&
           textureParameter(GL_TEXTURE_WRAP_S) == GL_REPEAT &&
           textureParameter(GL_TEXTURE_WRAP_T) == GL_REPEAT;
}
