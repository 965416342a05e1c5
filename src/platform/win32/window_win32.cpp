// The window system on Windows itself: classes, windows and their procedures, the thread's
// message queue and WGL pass straight through. Only the picture size is the demo's own: every
// size message reports it, and swaps scale it onto the window through the virtual display.
// clang-format off
// First: windows.h, which OpenGL's header brings in, defines the message names as macros of the
// same values, which must not reach these declarations.
#include "platform/window_system.h"
// clang-format on

#include "platform/fatal_exit.h"
#include "platform/virtual_display.h"
#include "platform/win32/wide_text.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>
#include <windows.h>

namespace platform {

struct DeviceContext {
    Window* window = nullptr;
    HDC handle = nullptr;
    PixelFormatRequest format;
    bool formatSet = false;
};

struct GlContext {
    HGLRC handle = nullptr;
    Window* window = nullptr;
    VirtualDisplay display;
};

struct Window {
    HWND handle = nullptr;
    WindowProcedure procedure = nullptr;
    void* creationParameter = nullptr;
    std::intptr_t userData = 0;
    int pictureWidth = 0;
    int pictureHeight = 0;
    DeviceContext deviceContext;
    GlContext* currentContext = nullptr;
};

namespace {

struct RegisteredClass {
    std::string name;
    WindowProcedure procedure = nullptr;
};

struct WindowSystemState {
    bool displayModeSet = false;
    bool offscreen = false;
    std::vector<RegisteredClass> classes;
    std::vector<std::unique_ptr<Window>> windows;
    std::vector<std::unique_ptr<GlContext>> contexts;
    int framebufferProbe = -1; // unknown, then 0 or 1
};

WindowSystemState state;

// The demo's icon in the program's resources.
constexpr int iconResource = 1;
constexpr wchar_t probeClassName[] = L"LumivahaProbe";

HINSTANCE moduleInstance() {
    return GetModuleHandleW(nullptr);
}

Window* findWindow(WindowHandle handle) {
    const auto found =
        std::find_if(state.windows.begin(), state.windows.end(),
                     [handle](const auto& window) { return window.get() == handle; });
    return found == state.windows.end() ? nullptr : found->get();
}

Window* windowOf(HWND handle) {
    const auto found =
        std::find_if(state.windows.begin(), state.windows.end(),
                     [handle](const auto& window) { return window->handle == handle; });
    return found == state.windows.end() ? nullptr : found->get();
}

GlContext* findContext(GlContextHandle handle) {
    const auto found =
        std::find_if(state.contexts.begin(), state.contexts.end(),
                     [handle](const auto& context) { return context.get() == handle; });
    return found == state.contexts.end() ? nullptr : found->get();
}

const RegisteredClass* findClass(const char* name) {
    const auto found =
        std::find_if(state.classes.begin(), state.classes.end(),
                     [name](const RegisteredClass& known) { return known.name == name; });
    return found == state.classes.end() ? nullptr : &*found;
}

// Size messages report the picture, never the window: the demo's projection stays its own.
std::intptr_t pictureSizeParameter(const Window& window, WPARAM kind) {
    return kind == SIZE_MINIMIZED ? 0
                                  : makeSizeParameter(window.pictureWidth, window.pictureHeight);
}

LRESULT CALLBACK passThrough(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        auto* window = static_cast<Window*>(creation->lpCreateParams);
        window->handle = handle;
    }
    Window* window = windowOf(handle);
    if (window == nullptr) {
        return DefWindowProcW(handle, message, wParam, lParam);
    }
    switch (message) {
    case WM_CREATE:
        return window->procedure(window, message, 0,
                                 reinterpret_cast<std::intptr_t>(window->creationParameter));
    case WM_SIZE:
        return window->procedure(window, message, wParam, pictureSizeParameter(*window, wParam));
    default:
        return window->procedure(window, message, wParam, lParam);
    }
}

bool registerProbeClass() {
    WNDCLASSEXW probeClass{};
    probeClass.cbSize = sizeof probeClass;
    probeClass.style = CS_OWNDC;
    probeClass.lpfnWndProc = DefWindowProcW;
    probeClass.hInstance = moduleInstance();
    probeClass.lpszClassName = probeClassName;
    return RegisterClassExW(&probeClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

PIXELFORMATDESCRIPTOR pixelFormatDescriptor(const PixelFormatRequest& request) {
    PIXELFORMATDESCRIPTOR descriptor{};
    descriptor.nSize = sizeof descriptor;
    descriptor.nVersion = 1;
    descriptor.dwFlags =
        PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | (request.doubleBuffer ? PFD_DOUBLEBUFFER : 0);
    descriptor.iPixelType = PFD_TYPE_RGBA;
    descriptor.cColorBits = static_cast<BYTE>(std::min(request.colourBits, 24));
    descriptor.cAlphaBits = static_cast<BYTE>(request.alphaBits > 0 ? 8 : 0);
    descriptor.cDepthBits = static_cast<BYTE>(request.depthBits);
    descriptor.iLayerType = PFD_MAIN_PLANE;
    return descriptor;
}

// Framebuffer objects come from the driver's context; a hidden window's context tells.
bool probeFramebufferObjects() {
    if (state.framebufferProbe >= 0) {
        return state.framebufferProbe == 1;
    }
    state.framebufferProbe = 0;
    if (!registerProbeClass()) {
        return false;
    }
    HWND probe = CreateWindowExW(0, probeClassName, L"", WS_POPUP, 0, 0, 16, 16, nullptr, nullptr,
                                 moduleInstance(), nullptr);
    HDC deviceContext = probe ? GetDC(probe) : nullptr;
    const PIXELFORMATDESCRIPTOR descriptor = pixelFormatDescriptor(PixelFormatRequest{});
    const int format = deviceContext ? ChoosePixelFormat(deviceContext, &descriptor) : 0;
    HGLRC context = format != 0 && SetPixelFormat(deviceContext, format, &descriptor)
                        ? wglCreateContext(deviceContext)
                        : nullptr;
    if (context != nullptr && wglMakeCurrent(deviceContext, context)) {
        state.framebufferProbe = hasFramebufferObjects(glProcAddress) ? 1 : 0;
        wglMakeCurrent(nullptr, nullptr);
    }
    if (context != nullptr) {
        wglDeleteContext(context);
    }
    if (deviceContext != nullptr) {
        ReleaseDC(probe, deviceContext);
    }
    if (probe != nullptr) {
        DestroyWindow(probe);
    }
    return state.framebufferProbe == 1;
}

void releaseContext(GlContext& context) {
    HDC deviceContext = context.window->deviceContext.handle;
    if (wglGetCurrentContext() != context.handle) {
        wglMakeCurrent(deviceContext, context.handle);
    }
    context.display.destroy();
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(context.handle);
    if (context.window->currentContext == &context) {
        context.window->currentContext = nullptr;
    }
}

// Leaves the desktop as it was found, whatever state the program is in.
void tearDownWindowSystem() {
    for (const auto& context : state.contexts) {
        releaseContext(*context);
    }
    state.contexts.clear();
    for (const auto& window : state.windows) {
        DestroyWindow(window->handle);
    }
    state.windows.clear();
    state.displayModeSet = false;
    state.classes.clear();
}

// Paced by the display: adaptive where offered, else every refresh.
void paceBySwaps() {
    using SwapInterval = BOOL(WINAPI*)(int);
    const auto setInterval = reinterpret_cast<SwapInterval>(glProcAddress("wglSwapIntervalEXT"));
    if (setInterval != nullptr && !setInterval(-1)) {
        setInterval(1);
    }
}

struct Placement {
    DWORD style = 0;
    DWORD extendedStyle = 0;
    RECT bounds{};
};

// Over the whole monitor the demo starts on, or a framed window whose client area is the
// picture's size, centred on it.
Placement placementFor(const WindowCreation& creation) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor);
    Placement placement;
    placement.extendedStyle = WS_EX_APPWINDOW | (creation.topmost ? WS_EX_TOPMOST : 0);
    if (creation.style == WindowStyle::popup && state.displayModeSet) {
        placement.style = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
        placement.bounds = monitor.rcMonitor;
        return placement;
    }
    placement.style = WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    const RECT& work = monitor.rcWork;
    const LONG left = work.left + std::max(0L, (work.right - work.left - creation.width) / 2);
    const LONG top = work.top + std::max(0L, (work.bottom - work.top - creation.height) / 2);
    placement.bounds = RECT{left, top, left + creation.width, top + creation.height};
    AdjustWindowRectEx(&placement.bounds, placement.style, FALSE, placement.extendedStyle);
    return placement;
}

} // namespace

InstanceHandle currentInstance() {
    return reinterpret_cast<InstanceHandle>(moduleInstance());
}

void useOffscreenWindows() {
    state.offscreen = true;
}

bool registerClass(const WindowClass& windowClass) {
    if (windowClass.className == nullptr || windowClass.procedure == nullptr ||
        findClass(windowClass.className) != nullptr) {
        return false;
    }
    const std::wstring name = wideFromUtf8(windowClass.className);
    WNDCLASSEXW nativeClass{};
    nativeClass.cbSize = sizeof nativeClass;
    // Its own device context, which the pixel format and the OpenGL context hold on to.
    nativeClass.style = CS_OWNDC | CS_HREDRAW | CS_VREDRAW;
    nativeClass.lpfnWndProc = passThrough;
    nativeClass.hInstance = moduleInstance();
    nativeClass.hIcon = LoadIconW(moduleInstance(), MAKEINTRESOURCEW(iconResource));
    nativeClass.hIconSm = nativeClass.hIcon;
    nativeClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // the arrow
    nativeClass.lpszClassName = name.c_str();
    if (RegisterClassExW(&nativeClass) == 0) {
        return false;
    }
    if (state.classes.empty()) {
        registerTeardown(tearDownWindowSystem);
    }
    state.classes.push_back({windowClass.className, windowClass.procedure});
    return true;
}

bool unregisterClass(const char* className, InstanceHandle) {
    const auto found =
        std::find_if(state.classes.begin(), state.classes.end(),
                     [className](const RegisteredClass& known) { return known.name == className; });
    if (found == state.classes.end()) {
        return false;
    }
    UnregisterClassW(wideFromUtf8(className).c_str(), moduleInstance());
    state.classes.erase(found);
    if (state.classes.empty()) {
        unregisterTeardown(tearDownWindowSystem);
    }
    return true;
}

bool changeDisplayMode(int width, int height, int colourBits) {
    if (width <= 0 || height <= 0 || colourBits <= 0 || !probeFramebufferObjects()) {
        return false;
    }
    state.displayModeSet = !state.offscreen;
    return true;
}

void restoreDisplayMode() {
    state.displayModeSet = false;
}

WindowHandle createWindow(const WindowCreation& creation) {
    const RegisteredClass* registered = findClass(creation.className);
    if (registered == nullptr || creation.width <= 0 || creation.height <= 0) {
        return nullptr;
    }
    auto window = std::make_unique<Window>();
    window->procedure = registered->procedure;
    window->creationParameter = creation.creationParameter;
    window->pictureWidth = creation.width;
    window->pictureHeight = creation.height;
    window->deviceContext.window = window.get();
    Window* created = window.get();
    // Known before the window exists: its procedure runs inside the creation.
    state.windows.push_back(std::move(window));
    const Placement placement = placementFor(creation);
    const RECT& bounds = placement.bounds;
    HWND handle =
        CreateWindowExW(placement.extendedStyle, wideFromUtf8(creation.className).c_str(),
                        wideFromUtf8(creation.title ? creation.title : "").c_str(), placement.style,
                        bounds.left, bounds.top, bounds.right - bounds.left,
                        bounds.bottom - bounds.top, nullptr, nullptr, moduleInstance(), created);
    if (handle == nullptr) {
        std::fprintf(stderr, "Cannot create a window: error %lu\n", GetLastError());
        std::erase_if(state.windows, [created](const auto& w) { return w.get() == created; });
        return nullptr;
    }
    return created;
}

bool destroyWindow(WindowHandle handle) {
    Window* window = findWindow(handle);
    if (window == nullptr) {
        return false;
    }
    for (auto it = state.contexts.begin(); it != state.contexts.end();) {
        if ((*it)->window == window) {
            releaseContext(**it);
            it = state.contexts.erase(it);
        } else {
            ++it;
        }
    }
    if (window->deviceContext.handle != nullptr) {
        ReleaseDC(window->handle, window->deviceContext.handle);
    }
    DestroyWindow(window->handle);
    std::erase_if(state.windows, [window](const auto& w) { return w.get() == window; });
    return true;
}

void showWindow(WindowHandle handle) {
    Window* window = findWindow(handle);
    if (window == nullptr) {
        return;
    }
    if (!state.offscreen) {
        ShowWindow(window->handle, SW_SHOW);
        SetForegroundWindow(window->handle);
        SetFocus(window->handle);
    }
    window->procedure(window, WM_SIZE, SIZE_RESTORED, pictureSizeParameter(*window, SIZE_RESTORED));
}

void showCursor(bool show) {
    ShowCursor(show ? TRUE : FALSE);
}

std::intptr_t getWindowUserData(WindowHandle handle) {
    const Window* window = findWindow(handle);
    return window ? window->userData : 0;
}

void setWindowUserData(WindowHandle handle, std::intptr_t value) {
    if (Window* window = findWindow(handle)) {
        window->userData = value;
    }
}

bool peekMessage(Message& message, WindowHandle handle) {
    const Window* filter = handle ? findWindow(handle) : nullptr;
    if (handle != nullptr && filter == nullptr) {
        return false;
    }
    MSG native{};
    while (PeekMessageW(&native, filter ? filter->handle : nullptr, 0, 0, PM_REMOVE)) {
        Window* window = windowOf(native.hwnd);
        if (window != nullptr) {
            message = {window, native.message, native.wParam, native.lParam};
            return true;
        }
        // Not the demo's (an input method's window, say): Windows handles it as usual.
        TranslateMessage(&native);
        DispatchMessageW(&native);
    }
    return false;
}

MessageResult dispatchMessage(const Message& message) {
    const Window* window = findWindow(message.window);
    if (window == nullptr) {
        return 0;
    }
    MSG native{};
    native.hwnd = window->handle;
    native.message = message.message;
    native.wParam = message.wParam;
    native.lParam = message.lParam;
    return DispatchMessageW(&native);
}

bool postMessage(WindowHandle handle, std::uint32_t message, std::uintptr_t wParam,
                 std::intptr_t lParam) {
    const Window* window = findWindow(handle);
    return window != nullptr && PostMessageW(window->handle, message, wParam, lParam) != 0;
}

void waitMessage() {
    WaitMessage();
}

MessageResult defaultWindowProcedure(WindowHandle handle, std::uint32_t message,
                                     std::uintptr_t wParam, std::intptr_t lParam) {
    const Window* window = findWindow(handle);
    return window ? DefWindowProcW(window->handle, message, wParam, lParam) : 0;
}

DeviceContextHandle getDeviceContext(WindowHandle handle) {
    Window* window = findWindow(handle);
    if (window == nullptr) {
        return nullptr;
    }
    if (window->deviceContext.handle == nullptr) {
        window->deviceContext.handle = GetDC(window->handle);
    }
    return window->deviceContext.handle ? &window->deviceContext : nullptr;
}

bool releaseDeviceContext(WindowHandle handle, DeviceContextHandle deviceContext) {
    Window* window = findWindow(handle);
    if (window == nullptr || &window->deviceContext != deviceContext ||
        deviceContext->handle == nullptr) {
        return false;
    }
    ReleaseDC(window->handle, deviceContext->handle);
    deviceContext->handle = nullptr;
    return true;
}

int choosePixelFormat(DeviceContextHandle deviceContext, const PixelFormatRequest& request) {
    if (deviceContext == nullptr || request.colourBits <= 0 || request.colourBits > 32 ||
        request.depthBits < 0 || request.depthBits > 32 || request.alphaBits < 0) {
        return 0;
    }
    const PIXELFORMATDESCRIPTOR descriptor = pixelFormatDescriptor(request);
    return ChoosePixelFormat(deviceContext->handle, &descriptor);
}

bool setPixelFormat(DeviceContextHandle deviceContext, int format,
                    const PixelFormatRequest& request) {
    if (deviceContext == nullptr || format <= 0 || deviceContext->formatSet) {
        return false;
    }
    const PIXELFORMATDESCRIPTOR descriptor = pixelFormatDescriptor(request);
    if (!SetPixelFormat(deviceContext->handle, format, &descriptor)) {
        return false;
    }
    deviceContext->format = request;
    deviceContext->formatSet = true;
    return true;
}

GlContextHandle createGlContext(DeviceContextHandle deviceContext) {
    if (deviceContext == nullptr || !deviceContext->formatSet) {
        return nullptr;
    }
    Window* window = deviceContext->window;
    HGLRC handle = wglCreateContext(deviceContext->handle);
    if (handle == nullptr || !wglMakeCurrent(deviceContext->handle, handle)) {
        std::fprintf(stderr, "Cannot create an OpenGL context: error %lu\n", GetLastError());
        if (handle != nullptr) {
            wglDeleteContext(handle);
        }
        return nullptr;
    }
    auto glContext = std::make_unique<GlContext>();
    glContext->handle = handle;
    glContext->window = window;
    // Without framebuffer objects the window is drawn into directly; it is then never full
    // screen, because the display mode switch refuses.
    glContext->display.create(glProcAddress, window->pictureWidth, window->pictureHeight,
                              deviceContext->format.depthBits);
    paceBySwaps();
    wglMakeCurrent(nullptr, nullptr);
    window->currentContext = nullptr;
    state.contexts.push_back(std::move(glContext));
    return state.contexts.back().get();
}

bool makeCurrent(DeviceContextHandle deviceContext, GlContextHandle handle) {
    if (handle == nullptr) {
        if (deviceContext != nullptr) {
            deviceContext->window->currentContext = nullptr;
        }
        return wglMakeCurrent(nullptr, nullptr) != 0;
    }
    GlContext* context = findContext(handle);
    if (deviceContext == nullptr || context == nullptr ||
        context->window != deviceContext->window ||
        !wglMakeCurrent(deviceContext->handle, context->handle)) {
        return false;
    }
    context->window->currentContext = context;
    return true;
}

bool deleteGlContext(GlContextHandle handle) {
    GlContext* context = findContext(handle);
    if (context == nullptr) {
        return false;
    }
    releaseContext(*context);
    std::erase_if(state.contexts, [context](const auto& c) { return c.get() == context; });
    return true;
}

void* glProcAddress(const char* name) {
    // OpenGL 1.1 itself is exported by opengl32.dll; drivers answer for everything newer, and
    // some answer 1, 2, 3 or -1 for what they lack.
    PROC procedure = wglGetProcAddress(name);
    const auto value = reinterpret_cast<std::intptr_t>(procedure);
    if (value >= -1 && value <= 3) {
        procedure = GetProcAddress(GetModuleHandleW(L"opengl32.dll"), name);
    }
    return reinterpret_cast<void*>(procedure);
}

bool swapBuffers(DeviceContextHandle deviceContext) {
    if (deviceContext == nullptr) {
        return false;
    }
    Window* window = deviceContext->window;
    GlContext* context = window->currentContext;
    if (context != nullptr && context->display.isActive()) {
        RECT client{};
        GetClientRect(window->handle, &client);
        context->display.present(client.right - client.left, client.bottom - client.top);
    }
    return SwapBuffers(deviceContext->handle) != 0;
}

void showMessageBox(const char* text, const char* caption, MessageBoxIcon) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
    std::fflush(stderr);
    MessageBoxW(nullptr, wideFromUtf8(text).c_str(), wideFromUtf8(caption).c_str(),
                MB_OK | MB_ICONEXCLAMATION | MB_TOPMOST);
}

} // namespace platform
