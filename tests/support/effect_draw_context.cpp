#include "support/effect_draw_context.h"

#include "resources/texture_bank.h"

#include <GL/gl.h>
#include <GL/glu.h>

namespace {

// The slot the frame driver leaves bound.
constexpr int pictureSlot = 10;

} // namespace

void enterDrawContext(const BaseColour& colour) {
    glViewport(0, 0, regionSide, regionSide);
    glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(90.0, 800.0 / 600.0, 0.1, 2000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, textureBank[pictureSlot]);
    glDisable(GL_TEXTURE_2D);
    baseColour = colour;
    glColor3f(colour.red, colour.green, colour.blue);
}
