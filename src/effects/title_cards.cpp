#include "effects/title_cards.h"

#include "resources/texture_bank.h"

#include <GL/gl.h>

namespace {

// Not fullViewHalfWidth (1.334): the nearest float to 1.33334.
constexpr float cardHalfWidth = 1.33334f;

// t runs from 0 at the top edge to 1 at the bottom.
void emitCard() {
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 1.0f);
    glVertex2f(-cardHalfWidth, -1.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(-cardHalfWidth, 1.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2f(cardHalfWidth, 1.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2f(cardHalfWidth, -1.0f);
    glEnd();
}

int cardSlot(float seconds) {
    // Widened to double and compared strictly with the double constants: the float nearest
    // 7.393 already lies above 7.393.
    const auto time = static_cast<double>(seconds);
    if (time < 7.393) {
        return firstTitleCardSlot;
    }
    if (time < 11.89) {
        return secondTitleCardSlot;
    }
    return lastTitleCardSlot;
}

} // namespace

void TitleCards::draw(float seconds) {
    glLoadIdentity();
    glPushMatrix();
    glTranslatef(0.0f, 0.0f, -1.0f);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, textureBank[static_cast<std::size_t>(cardSlot(seconds))]);
    emitCard();
    // The blend function stays (ONE, ONE) until the next user of blending sets its own.
    glDisable(GL_BLEND);
    glPopMatrix();
}
