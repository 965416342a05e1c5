#include "effects/pulse_backdrop.h"

#include "resources/texture_bank.h"

#include <GL/gl.h>
#include <cmath>

namespace {

// s runs up the quad and t across it: the picture lies transposed.
void emitPulse() {
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(-1.0f, -1.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex2f(1.0f, -1.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2f(1.0f, 1.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2f(-1.0f, 1.0f);
    glEnd();
}

// Half the side of the picture at distance 1000, swinging from 200 to 2200.
float halfSide(float seconds) {
    // Radians of the demo time, in double precision.
    return static_cast<float>(std::sin(static_cast<double>(seconds) * 8.0) * 1000.0 + 1200.0);
}

} // namespace

void PulseBackdrop::draw(float seconds) {
    glLoadIdentity();
    glPushMatrix();
    glTranslatef(0.0f, 0.0f, -1000.0f);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, textureBank[pulsePictureSlot]);
    const float size = halfSide(seconds);
    glScalef(size, size, size);
    emitPulse();
    glPopMatrix();
}
