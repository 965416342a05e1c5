#include "effects/picture_strips.h"

#include "core/random.h"
#include "resources/texture_bank.h"

#include <GL/gl.h>
#include <cmath>

namespace {

// A fresh threshold every frame: never within 0.2 s of the last pick, always after 0.49 s. The
// threshold is drawn whether or not the pick then happens.
bool isPickDue(float pickTime, float seconds) {
    const int threshold = nextRandom() % 30;
    return threshold * 0.01 + pickTime + 0.2 < seconds;
}

void pickHalf(std::int32_t& slot, float& pickTime, int firstSlot, int slotCount, float seconds) {
    if (isPickDue(pickTime, seconds)) {
        slot = nextRandom() % slotCount + firstSlot;
        pickTime = seconds;
    }
}

struct StripCorner {
    float s;
    float t;
    float x;
    float y;
};

// Texture row 0 (the picture's top) at the top edge of each half.
void drawHalf(std::int32_t slot, float bottom) {
    const float top = bottom + 1.0f;
    const StripCorner corners[4] = {
        {0, 1, -0.5f, bottom}, {0, 0, -0.5f, top}, {1, 0, 0.5f, top}, {1, 1, 0.5f, bottom}};
    glBindTexture(GL_TEXTURE_2D, textureBank[static_cast<std::size_t>(slot)]);
    glBegin(GL_QUADS);
    for (const StripCorner& corner : corners) {
        glTexCoord2f(corner.s, corner.t);
        glVertex2f(corner.x, corner.y);
    }
    glEnd();
}

} // namespace

void PictureStrips::pick(float seconds) {
    pickHalf(upperSlot, upperPickTime, firstUpperStripSlot, upperStripSlotCount, seconds);
    pickHalf(lowerSlot, lowerPickTime, firstLowerStripSlot, lowerStripSlotCount, seconds);
}

void PictureStrips::draw(float seconds) {
    pick(seconds);
    glLoadIdentity();
    glPushMatrix();
    glTranslatef(0.0f, 0.0f, -1.0f);
    // Added onto the backdrop, tinted by the current colour through the modulate environment.
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glEnable(GL_TEXTURE_2D);
    // Widened first: the float overload would round the sine before it is scaled.
    const auto scale = static_cast<float>(std::sin(static_cast<double>(seconds)) * 0.1 + 1.2);
    glScalef(scale, scale, scale);
    drawHalf(upperSlot, 0.0f);
    drawHalf(lowerSlot, -1.0f);
    glDisable(GL_BLEND);
    glPopMatrix();
}
