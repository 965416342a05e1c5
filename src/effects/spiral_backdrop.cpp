#include "effects/spiral_backdrop.h"

#include "core/random.h"
#include "resources/texture_bank.h"

#include <GL/gl.h>

namespace {

void emitSpiral() {
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(-1.0f, -1.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex2f(-1.0f, 1.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2f(1.0f, 1.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2f(1.0f, -1.0f);
    glEnd();
}

} // namespace

// Six remainders of ten give +1.
SpiralBackdrop::SpiralBackdrop() : direction(nextRandom() % 10 <= 5 ? 1 : -1) {}

void SpiralBackdrop::draw(float seconds) {
    glLoadIdentity();
    glPushMatrix();
    glTranslatef(0.0f, 0.0f, -1000.0f);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, textureBank[spiralPictureSlot]);
    // Degrees, from the demo time afresh each frame: nothing accumulates.
    const auto angle = static_cast<float>(direction * static_cast<double>(seconds) * 800.0);
    glRotatef(angle, 0.0f, 0.0f, 1.0f);
    // A 4000-wide square: its inscribed circle holds the whole view at any angle.
    glScalef(2000.0f, 2000.0f, 2.0f);
    emitSpiral();
    glPopMatrix();
}
