#include "demo/frame_driver.h"

#include "core/base_colour.h"
#include "core/demo_clock.h"
#include "core/random.h"
#include "demo/bar_layout.h"
#include "demo/demo_state.h"
#include "effects/effect.h"
#include "effects/feedback_blur.h"
#include "platform/messages.h"
#include "platform/sound_system.h"
#include "resources/texture_bank.h"

#include <GL/gl.h>

namespace {

constexpr int renderSize = 512;

void drawEffects(float seconds) {
    glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glViewport(0, 0, renderSize, renderSize);
    // The effects start with the pulse picture bound and texturing off.
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, textureBank[pulsePictureSlot]);
    glDisable(GL_TEXTURE_2D);
    const DemoState& state = *demoState;
    state.backgroundEffects[state.backdropIndex]->draw(seconds);
    state.foregroundEffects[state.foregroundIndex]->draw(seconds);
}

void copyToRenderTarget() {
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, textureBank[renderTargetSlot]);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, renderSize, renderSize);
}

void drawComposite() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -1.0f);
    glBindTexture(GL_TEXTURE_2D, textureBank[renderTargetSlot]);
    glEnable(GL_TEXTURE_2D);
    glColor4f(1.0f, 1.0f, 1.0f, 0.5f);
    glBegin(GL_QUADS);
    glTexCoord2d(0.0, 0.0);
    glVertex2f(-fullViewHalfWidth, -1.0f);
    glTexCoord2d(0.0, 1.0);
    glVertex2f(-fullViewHalfWidth, 1.0f);
    glTexCoord2d(1.0, 1.0);
    glVertex2f(fullViewHalfWidth, 1.0f);
    glTexCoord2d(1.0, 0.0);
    glVertex2f(fullViewHalfWidth, -1.0f);
    glEnd();
    glDisable(GL_TEXTURE_2D);
    glColor3f(baseColour.red, baseColour.green, baseColour.blue);
}

void startNextLoop(DemoState& state) {
    state.backdropIndex = nextRandom() % backdropCount;
    state.foregroundIndex = nextRandom() % laterForegroundCount;
    baseColour = pickBaseColour();
    glColor3f(baseColour.red, baseColour.green, baseColour.blue);
    state.currentLoop = nextRandom() % laterLoopCount;
    platform::SoundStream* loop = state.loopStreams[state.currentLoop];
    platform::SoundSystem& sound = platform::soundSystem();
    // A loop that was replaced just after its end stopped short of the rewind point and keeps
    // that position; played from there it would end again in the next frame, after one frame
    // of its tail. It starts from its beginning instead.
    if (sound.streamPosition(loop) > loopEndMilliseconds) {
        sound.setStreamPosition(loop, 0);
    }
    sound.playStream(musicChannel, loop);
}

void runMusicSchedule(DemoState& state) {
    platform::SoundSystem& sound = platform::soundSystem();
    if (sound.streamPosition(state.loopStreams[state.currentLoop]) > loopEndMilliseconds) {
        startNextLoop(state);
    }
    for (platform::SoundStream* stream : state.loopStreams) {
        if (sound.streamPosition(stream) > loopRewindMilliseconds) {
            sound.setStreamPosition(stream, 0);
        }
    }
}

} // namespace

void updateFrame() {
    KeyState& keys = *demoState->keyState;
    DemoWindow& window = *demoState->demoWindow;
    // Escape and F1 stay set: the cycle ends with this frame, and creation clears them.
    if (keys[platform::VK_ESCAPE] == 1) {
        requestQuit(window);
    }
    if (keys[platform::VK_F1] == 1) {
        requestModeToggle(window);
    }
    // Cleared here, so any number of key-down messages between two frames count once.
    if (keys[platform::VK_SPACE] == 1) {
        keys[platform::VK_SPACE] = 0;
        barLayout.generate();
    }
}

void drawFrame() {
    const float seconds = demoClock.elapsedSeconds();
    drawEffects(seconds);
    copyToRenderTarget();
    glViewport(0, 0, surfaceWidth, surfaceHeight);
    DemoState& state = *demoState;
    state.feedbackBlur->draw(renderTargetSlot, seconds);
    drawComposite();
    // Strictly greater: exactly 103 s still draws; the quit lets this frame finish.
    if (seconds > runningTimeSeconds) {
        requestQuit(*state.demoWindow);
    }
    glFlush();
    runMusicSchedule(state);
}
