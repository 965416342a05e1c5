#include "e2e/x_session.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {

// The demo's windows come and go while the test looks at them (F1 destroys and recreates the
// window), so a query about a window that vanished in between is expected, not fatal. Xlib's
// default handler would end the test program and leave its children running.
int ignoreVanishedWindows(Display*, XErrorEvent*) {
    return 0;
}

} // namespace

XSession::XSession(const std::string& name) : displayName(name) {
    XSetErrorHandler(ignoreVanishedWindows);
    // An empty name (a screen that did not come up) would open $DISPLAY instead: a screen other
    // tests share, never the one asked for.
    if (!name.empty()) {
        display = XOpenDisplay(name.c_str());
    }
}

XSession::~XSession() {
    if (display != nullptr) {
        XCloseDisplay(display);
    }
}

std::optional<XWindowId> XSession::findMapped(const std::string& title) {
    ::Window root = 0;
    ::Window parent = 0;
    ::Window* children = nullptr;
    unsigned int count = 0;
    XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count);
    std::optional<XWindowId> found;
    for (unsigned int i = 0; i < count && !found; ++i) {
        char* windowName = nullptr;
        XWindowAttributes attributes{};
        if (XFetchName(display, children[i], &windowName) && windowName != nullptr) {
            if (title == windowName && XGetWindowAttributes(display, children[i], &attributes) &&
                attributes.map_state == IsViewable) {
                found = children[i];
            }
            XFree(windowName);
        }
    }
    if (children != nullptr) {
        XFree(children);
    }
    return found;
}

std::optional<XWindowId> XSession::waitForWindow(const std::string& title,
                                                 std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        if (auto window = findMapped(title)) {
            return window;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return std::nullopt;
}

bool XSession::hasWindow(const std::string& title) {
    XSync(display, False);
    return findMapped(title).has_value();
}

WindowGeometry XSession::geometry(XWindowId window) {
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, window, &attributes);
    ::Window child = 0;
    WindowGeometry result;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &result.x, &result.y,
                          &child);
    result.width = attributes.width;
    result.height = attributes.height;
    return result;
}

std::vector<XWindowId> XSession::children(XWindowId window) {
    ::Window root = 0;
    ::Window parent = 0;
    ::Window* found = nullptr;
    unsigned count = 0;
    std::vector<XWindowId> result;
    if (XQueryTree(display, window, &root, &parent, &found, &count) != 0 && found != nullptr) {
        result.assign(found, found + count);
        XFree(found);
    }
    return result;
}

void XSession::watchDestruction(XWindowId window) {
    XSelectInput(display, window, StructureNotifyMask);
    XSync(display, False);
}

bool XSession::waitForDestruction(XWindowId window, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        XEvent event{};
        if (XCheckTypedWindowEvent(display, window, DestroyNotify, &event)) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

void XSession::requestClose(XWindowId window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
}

std::array<int, 3> XSession::screenPixel(int x, int y) {
    return screenPixels(x, y, 1, 1)[0];
}

std::vector<std::array<int, 3>> XSession::screenPixels(int x, int y, int width, int height) {
    XImage* image =
        XGetImage(display, DefaultRootWindow(display), x, y, static_cast<unsigned>(width),
                  static_cast<unsigned>(height), AllPlanes, ZPixmap);
    std::vector<std::array<int, 3>> pixels;
    pixels.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            const unsigned long pixel = XGetPixel(image, column, row);
            pixels.push_back({static_cast<int>((pixel >> 16) & 0xFF),
                              static_cast<int>((pixel >> 8) & 0xFF),
                              static_cast<int>(pixel & 0xFF)});
        }
    }
    XDestroyImage(image);
    return pixels;
}

bool XSession::waitForPicture(std::chrono::milliseconds timeout) {
    XWindowAttributes root{};
    XGetWindowAttributes(display, DefaultRootWindow(display), &root);
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        for (const auto& pixel : screenPixels(0, 0, root.width, root.height)) {
            if (pixel[0] + pixel[1] + pixel[2] > 300) {
                return true;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

bool XSession::tapKey(XWindowId window, const std::string& key) {
    // Bounded: xdotool's --sync waits for ever on a window that never takes the focus.
    const std::string command = "DISPLAY=" + displayName +
                                " timeout 10 xdotool windowfocus --sync " + std::to_string(window) +
                                " key " + key + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}
