#pragma once

#include <array>
#include <chrono>
#include <optional>
#include <string>
#include <vector>

// X window ids, without pulling Xlib's macros into the tests.
using XWindowId = unsigned long;
struct _XDisplay;

struct WindowGeometry {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// A connection to an X display, seen from outside the program under test.
class XSession {
public:
    explicit XSession(const std::string& displayName);
    ~XSession();
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    bool connected() const { return display != nullptr; }
    const std::string& name() const { return displayName; }
    // A mapped top-level window with this exact title, once one appears.
    std::optional<XWindowId> waitForWindow(const std::string& title,
                                           std::chrono::milliseconds timeout);
    bool hasWindow(const std::string& title);
    WindowGeometry geometry(XWindowId window);
    // The window's own child windows, such as the client area that a window system drawing its
    // own frame puts inside.
    std::vector<XWindowId> children(XWindowId window);
    // Starts listening for the window's destruction; then waitForDestruction tells when it went.
    void watchDestruction(XWindowId window);
    bool waitForDestruction(XWindowId window, std::chrono::milliseconds timeout);
    // What a window manager sends when the user clicks the close box.
    void requestClose(XWindowId window);
    // The screen's pixel as red, green, blue.
    std::array<int, 3> screenPixel(int x, int y);
    // The screen's pixels of a rectangle, row by row from the top, as red, green, blue.
    std::vector<std::array<int, 3>> screenPixels(int x, int y, int width, int height);
    // Waits until something bright is on the screen: a window appears before the program has
    // loaded what it draws.
    bool waitForPicture(std::chrono::milliseconds timeout);
    // Focuses the window, then presses and releases a key at once with `xdotool key`, as
    // remote desktops, on-screen keyboards and automation tools do.
    bool tapKey(XWindowId window, const std::string& key);

private:
    std::optional<XWindowId> findMapped(const std::string& title);

    std::string displayName;
    _XDisplay* display = nullptr;
};
