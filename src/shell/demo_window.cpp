#include "shell/demo_window.h"

#include <GL/gl.h>
#include <GL/glu.h>

using namespace platform;

bool keepRunning = false;
bool fullScreenSetting = false;

namespace {

// Set while the display is in the demo's mode because a creation put it there.
bool displayModeSwitched = false;

PixelFormatRequest demoPixelFormat(const DemoWindow& window) {
    PixelFormatRequest format;
    format.doubleBuffer = true;
    format.colourBits = window.colourBits & 0xFF;
    format.alphaBits = 1;
    format.depthBits = 16;
    return format;
}

void leaveDisplayMode() {
    if (displayModeSwitched) {
        restoreDisplayMode();
        displayModeSwitched = false;
        showCursor(true);
    }
}

WindowStyle enterDisplayMode(DemoWindow& window) {
    if (window.mode == WindowMode::framedOnly) {
        // Asked for, so no warning: the window is what the user wanted.
        window.fullScreen = false;
        return WindowStyle::overlapped;
    }
    if (switchDisplayMode(window.width, window.height, window.colourBits)) {
        displayModeSwitched = true;
        showCursor(true);
        return WindowStyle::popup;
    }
    showMessageBox("Mode Switch Failed.\nRunning In Windowed Mode.", "Error",
                   MessageBoxIcon::exclamation);
    window.fullScreen = false;
    return WindowStyle::overlapped;
}

// Undoes creation steps that got as far as a device context.
void releaseWindow(DemoWindow& window) {
    releaseDeviceContext(window.windowHandle, window.deviceContext);
    window.deviceContext = nullptr;
    destroyWindow(window.windowHandle);
    window.windowHandle = nullptr;
    leaveDisplayMode();
}

bool createRenderingContext(DemoWindow& window) {
    const PixelFormatRequest format = demoPixelFormat(window);
    const int pixelFormat = choosePixelFormat(window.deviceContext, format);
    if (pixelFormat == 0 || !setPixelFormat(window.deviceContext, pixelFormat, format)) {
        return false;
    }
    window.renderingContext = createGlContext(window.deviceContext);
    if (window.renderingContext == nullptr) {
        return false;
    }
    if (!makeCurrent(window.deviceContext, window.renderingContext)) {
        deleteGlContext(window.renderingContext);
        window.renderingContext = nullptr;
        return false;
    }
    return true;
}

bool openWindow(DemoWindow& window, WindowStyle style) {
    WindowCreation creation;
    creation.className = window.classInfo.className;
    creation.title = window.title;
    creation.style = style;
    creation.topmost = style == WindowStyle::popup;
    creation.width = window.width;
    creation.height = window.height;
    creation.instance = window.classInfo.instance;
    creation.creationParameter = &window;
    window.windowHandle = createWindow(creation);
    if (window.windowHandle == nullptr) {
        leaveDisplayMode();
        return false;
    }
    window.deviceContext = getDeviceContext(window.windowHandle);
    if (window.deviceContext == nullptr) {
        destroyWindow(window.windowHandle);
        window.windowHandle = nullptr;
        leaveDisplayMode();
        return false;
    }
    return true;
}

DemoWindow* demoWindowOf(WindowHandle handle) {
    return reinterpret_cast<DemoWindow*>(getWindowUserData(handle));
}

void keyWentDown(DemoWindow& window, std::uintptr_t key) {
    window.keys[key] = 1;
    window.taps.downSinceFrame.set(key);
    window.taps.releasedSinceFrame.reset(key);
}

void keyWentUp(DemoWindow& window, std::uintptr_t key) {
    if (window.taps.downSinceFrame.test(key)) {
        window.taps.releasedSinceFrame.set(key);
    } else {
        window.keys[key] = 0;
    }
}

bool isSwallowedSystemCommand(std::uintptr_t command) {
    return command == SC_SCREENSAVE || command == SC_MONITORPOWER;
}

} // namespace

bool registerWindowClass(const WindowClassInfo& classInfo) {
    WindowClass windowClass;
    windowClass.className = classInfo.className;
    windowClass.procedure = windowProcedure;
    windowClass.instance = classInfo.instance;
    if (!registerClass(windowClass)) {
        showMessageBox("RegisterClassEx Failed!", "Error", MessageBoxIcon::exclamation);
        return false;
    }
    return true;
}

bool switchDisplayMode(std::int32_t width, std::int32_t height, std::int32_t colourBits) {
    return changeDisplayMode(width, height, colourBits);
}

bool createDemoWindow(DemoWindow& window) {
    // Unless a framed window was asked for, the switch is attempted at every creation, whatever
    // fullScreen holds.
    const WindowStyle style = enterDisplayMode(window);
    if (!openWindow(window, style)) {
        return false;
    }
    if (!createRenderingContext(window)) {
        releaseWindow(window);
        return false;
    }
    showWindow(window.windowHandle);
    window.visible = true;
    // The requested size, not the client size: the projection stays the demo's own.
    reshape(window.width, window.height);
    window.keys.fill(0);
    window.taps = KeyTaps{};
    return true;
}

bool destroyDemoWindow(DemoWindow& window) {
    if (window.windowHandle != nullptr) {
        if (window.deviceContext != nullptr) {
            makeCurrent(window.deviceContext, nullptr);
            if (window.renderingContext != nullptr) {
                deleteGlContext(window.renderingContext);
                window.renderingContext = nullptr;
            }
            releaseDeviceContext(window.windowHandle, window.deviceContext);
            window.deviceContext = nullptr;
        }
        destroyWindow(window.windowHandle);
        window.windowHandle = nullptr;
    }
    // Whatever fullScreen holds: a window must never leave the display in the demo's mode.
    leaveDisplayMode();
    return true;
}

void reshape(std::int32_t width, std::int32_t height) {
    // A window sized down to nothing must not divide by zero.
    const std::int32_t safeHeight = height == 0 ? 1 : height;
    glViewport(0, 0, width, safeHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(90.0, static_cast<double>(width) / static_cast<double>(safeHeight), 0.1, 2000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void releaseTappedKeys(DemoWindow& window) {
    for (std::size_t key = 0; key < window.keys.size(); ++key) {
        if (window.taps.releasedSinceFrame.test(key)) {
            window.keys[key] = 0;
        }
    }
    window.taps = KeyTaps{};
}

void requestQuit(DemoWindow& window) {
    // Posted to the window itself: the pump takes only the window's own messages.
    postMessage(window.windowHandle, WM_QUIT, 0, 0);
    keepRunning = false;
}

void requestModeToggle(DemoWindow& window) {
    postMessage(window.windowHandle, modeToggleMessage, 0, 0);
}

MessageResult windowProcedure(WindowHandle handle, std::uint32_t message, std::uintptr_t wParam,
                              std::intptr_t lParam) {
    if (message == WM_CREATE) {
        setWindowUserData(handle, lParam);
        return 0;
    }
    DemoWindow* window = demoWindowOf(handle);
    if (window == nullptr) {
        return defaultWindowProcedure(handle, message, wParam, lParam);
    }
    switch (message) {
    case WM_SIZE:
        if (wParam == SIZE_MINIMIZED) {
            window->visible = false;
            return 0;
        }
        if (wParam == SIZE_RESTORED || wParam == SIZE_MAXIMIZED) {
            window->visible = true;
            reshape(lowWord(lParam), highWord(lParam));
            return 0;
        }
        break;
    case WM_CLOSE:
        requestQuit(*window);
        return 0;
    case WM_KEYDOWN:
    case WM_KEYUP:
        if (wParam <= 255) {
            if (message == WM_KEYDOWN) {
                keyWentDown(*window, wParam);
            } else {
                keyWentUp(*window, wParam);
            }
            return 0;
        }
        break;
    case WM_SYSCOMMAND:
        if (isSwallowedSystemCommand(wParam)) {
            return 0;
        }
        break;
    case modeToggleMessage:
        fullScreenSetting = !fullScreenSetting;
        postMessage(handle, WM_QUIT, 0, 0);
        break;
    default:
        break;
    }
    return defaultWindowProcedure(handle, message, wParam, lParam);
}
