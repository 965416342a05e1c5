#include "effects/streak_backdrop.h"

#include "core/random.h"
#include "resources/texture_bank.h"

#include <GL/gl.h>

namespace {

// Three separate statements: the order of the draws is part of the demo's random sequence.
Streak drawStreak() {
    Streak streak{};
    streak.x = static_cast<float>((nextRandom() % 240) * 0.01 - 1.2);
    streak.y = static_cast<float>(0.9 - (nextRandom() % 180) * 0.01);
    streak.rate = static_cast<float>(nextRandom() % 90 - 180);
    return streak;
}

void emitStreak() {
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(-0.2f, -9.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex2f(-0.2f, 9.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2f(0.2f, 9.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2f(0.2f, -9.0f);
    glEnd();
}

} // namespace

StreakBackdrop::StreakBackdrop() {
    for (Streak& streak : streaks) {
        streak = drawStreak();
    }
}

void StreakBackdrop::draw(float seconds) {
    glLoadIdentity();
    glPushMatrix();
    glTranslatef(0.0f, 0.0f, -1000.0f);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, textureBank[streakPictureSlot]);
    glScalef(400.0f, 400.0f, 400.0f);
    for (const Streak& streak : streaks) {
        const float angle = seconds * streak.rate;
        glRotatef(angle, 0.0f, 0.0f, 1.0f);
        glTranslatef(streak.x, streak.y, 0.0f);
        emitStreak();
        // Rotation before translation: not the inverse of the two above, on purpose. The
        // leftover translation R(a)v - v carries over to every later streak of this frame.
        glRotatef(-angle, 0.0f, 0.0f, 1.0f);
        glTranslatef(-streak.x, -streak.y, 0.0f);
    }
    glPopMatrix();
}
