#pragma once

#include "platform/window_system.h"

#include <functional>
#include <string>
#include <vector>

// Control of the scripted window system that tests link in place of SDL: it records every call,
// fails a chosen step on request and lets a test answer when the program waits for input.
namespace platform::fake {

enum class Step {
    registerClass,
    changeDisplayMode,
    createWindow,
    getDeviceContext,
    choosePixelFormat,
    setPixelFormat,
    createGlContext,
    makeCurrent,
};

struct ShownMessageBox {
    std::string text;
    std::string caption;
};

struct Holdings {
    int classes = 0;
    int windows = 0;
    int deviceContexts = 0;
    int glContexts = 0;
    bool displayModeChanged = false;
};

// Forgets every window, class, failure, hook and record.
void reset();
// The step fails from now until reset.
void failStep(Step step);
// Called whenever the program waits while no message is queued; it must queue one (or the
// wait would never end, which the fake reports as a test failure by aborting).
void setWaitHook(std::function<void()> hook);

Holdings holdings();
// Calls in order, named as in window_system.h ("createWindow", "swapBuffers", ...).
const std::vector<std::string>& calls();
const std::vector<ShownMessageBox>& messageBoxes();
// The messages handed to the default window procedure.
const std::vector<Message>& defaultProcessed();
WindowHandle lastCreatedWindow();
WindowStyle lastCreatedStyle();
bool lastCreatedTopmost();
int cursorShowCount();

} // namespace platform::fake
