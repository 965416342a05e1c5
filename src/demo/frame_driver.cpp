#include "demo/frame_driver.h"

#include "demo/demo_startup.h"
#include "platform/messages.h"

#include <GL/gl.h>

void updateFrame() {
    // Both flags stay set: the cycle ends with this frame, and creation clears them.
    if ((*keyState)[platform::VK_ESCAPE] == 1) {
        requestQuit(*demoWindow);
    }
    if ((*keyState)[platform::VK_F1] == 1) {
        requestModeToggle(*demoWindow);
    }
}

void drawFrame() {
    glClearColor(0.05f, 0.09f, 0.2f, 0.5f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glFlush();
}
