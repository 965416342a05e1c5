#include "demo/demo_startup.h"

#include "demo/demo_clock.h"
#include "demo/random.h"
#include "platform/timer.h"

#include <GL/gl.h>
#include <GL/glu.h>

DemoWindow* demoWindow = nullptr;
KeyState* keyState = nullptr;

namespace {

void setStartupProjection(const DemoWindow& window) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(90.0, static_cast<double>(window.width) / static_cast<double>(window.height),
                   0.1, 2000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

} // namespace

void startDemo(DemoWindow& window, KeyState& keys) {
    seedRandom(platform::currentMilliseconds());
    demoWindow = &window;
    keyState = &keys;
    demoClock.stop();
    glViewport(0, 0, window.width, window.height);
    setStartupProjection(window);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glShadeModel(GL_SMOOTH);
    demoClock.start();
    demoClock.restart();
}
