#include "e2e/reliability/screen_state.h"

#include <X11/Xlib.h>

ScreenState readScreenState(const std::string& displayName) {
    ScreenState state;
    Display* display = XOpenDisplay(displayName.c_str());
    if (display == nullptr) {
        return state;
    }
    XWindowAttributes root{};
    XGetWindowAttributes(display, DefaultRootWindow(display), &root);
    state.width = root.width;
    state.height = root.height;
    ::Window rootWindow = 0;
    ::Window parent = 0;
    ::Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, DefaultRootWindow(display), &rootWindow, &parent, &children, &count)) {
        state.topLevelWindows = static_cast<int>(count);
    }
    if (children != nullptr) {
        XFree(children);
    }
    XCloseDisplay(display);
    return state;
}
