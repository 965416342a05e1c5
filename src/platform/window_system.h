#pragma once

#include "platform/messages.h"

#include <cstdint>

// The window system the shell is written against: classes, windows with a window procedure and
// a per-window message queue, the demo's display mode, OpenGL contexts and message boxes.
// Two backends implement it: SDL2 (sdl/window_sdl.cpp) and a scripted fake for tests
// (window_fake.cpp).
namespace platform {

using InstanceHandle = struct Instance*;
using DeviceContextHandle = struct DeviceContext*;
using GlContextHandle = struct GlContext*;

InstanceHandle currentInstance();

// For offline rendering: from now on windows are never put on screen and the display mode
// switch succeeds without touching anything, while drawing works as usual.
void useOffscreenWindows();

struct WindowClass {
    const char* className = nullptr;
    WindowProcedure procedure = nullptr;
    InstanceHandle instance = nullptr;
};

// False when the window system cannot be reached or the name is taken.
bool registerClass(const WindowClass& windowClass);
bool unregisterClass(const char* className, InstanceHandle instance);

// Puts the display into the demo's mode. The user's desktop resolution is never touched: while
// the mode is set, popup windows cover the whole desktop and every swap scales their
// width x height picture onto it, letterboxed. False when no full-screen window can be had.
bool changeDisplayMode(int width, int height, int colourBits);
// Leaves the demo's mode again; full-screen windows return to the desktop.
void restoreDisplayMode();

enum class WindowStyle {
    popup,      // full screen while the display is in the demo's mode
    overlapped, // a framed, resizable desktop window
};

struct WindowCreation {
    const char* className = nullptr;
    const char* title = nullptr;
    WindowStyle style = WindowStyle::overlapped;
    // Kept above other windows, so nothing covers the full-screen demo.
    bool topmost = false;
    // The picture the window shows is always width x height; the client area starts at that size.
    int width = 0;
    int height = 0;
    InstanceHandle instance = nullptr;
    // Handed to the window procedure as the lParam of WM_CREATE.
    void* creationParameter = nullptr;
};

// Calls the class's procedure with WM_CREATE before returning. Null on failure.
WindowHandle createWindow(const WindowCreation& creation);
// Discards the window's queued messages. False for an unknown handle.
bool destroyWindow(WindowHandle window);
// Shows the window and sends it WM_SIZE with SIZE_RESTORED and the picture's size.
void showWindow(WindowHandle window);
void showCursor(bool show);

std::intptr_t getWindowUserData(WindowHandle window);
void setWindowUserData(WindowHandle window, std::intptr_t value);

// Takes the next message addressed to window (all windows when null), waiting for none.
bool peekMessage(Message& message, WindowHandle window);
MessageResult dispatchMessage(const Message& message);
// Appends to the window's queue; false for an unknown handle.
bool postMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                 std::intptr_t lParam);
// Blocks until a message is queued for some window.
void waitMessage();
MessageResult defaultWindowProcedure(WindowHandle window, std::uint32_t message,
                                     std::uintptr_t wParam, std::intptr_t lParam);

struct PixelFormatRequest {
    bool doubleBuffer = true;
    int colourBits = 32;
    int alphaBits = 0;
    int depthBits = 16;
};

// The drawing surface of a window. Null for an unknown window.
DeviceContextHandle getDeviceContext(WindowHandle window);
bool releaseDeviceContext(WindowHandle window, DeviceContextHandle deviceContext);
// A positive format number that can serve the request, or 0.
int choosePixelFormat(DeviceContextHandle deviceContext, const PixelFormatRequest& request);
bool setPixelFormat(DeviceContextHandle deviceContext, int format,
                    const PixelFormatRequest& request);
GlContextHandle createGlContext(DeviceContextHandle deviceContext);
// With a null context, releases whatever context is current.
bool makeCurrent(DeviceContextHandle deviceContext, GlContextHandle glContext);
bool deleteGlContext(GlContextHandle glContext);
// An OpenGL entry point of the current context, or null.
void* glProcAddress(const char* name);
// Presents the picture drawn since the last swap, paced by the display's refresh.
bool swapBuffers(DeviceContextHandle deviceContext);

enum class MessageBoxIcon { exclamation };

// Also writes the text to stderr. Returns at once when no box can be shown.
void showMessageBox(const char* text, const char* caption, MessageBoxIcon icon);

} // namespace platform
