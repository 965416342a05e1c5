// The scripted window system for tests: no display, every call recorded.
#include "platform/fake_window_system.h"
#include "platform/message_queues.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace platform {

struct DeviceContext {
    Window* window = nullptr;
};

struct GlContext {
    DeviceContext* deviceContext = nullptr;
};

struct Window {
    std::intptr_t userData = 0;
    int width = 0;
    int height = 0;
    bool deviceContextHeld = false;
    DeviceContext deviceContext;
};

namespace {

struct FakeState {
    std::vector<WindowClass> classes;
    std::vector<std::unique_ptr<Window>> windows;
    MessageQueues queues;
    std::vector<std::unique_ptr<GlContext>> glContexts;
    std::vector<fake::Step> failing;
    std::function<void()> waitHook;
    std::vector<std::string> calls;
    std::vector<fake::ShownMessageBox> boxes;
    std::vector<Message> defaultProcessed;
    WindowHandle lastWindow = nullptr;
    WindowStyle lastStyle = WindowStyle::overlapped;
    bool lastTopmost = false;
    bool displayModeChanged = false;
    int cursorShows = 0;
};

FakeState fakeState;

bool failing(fake::Step step) {
    return std::find(fakeState.failing.begin(), fakeState.failing.end(), step) !=
           fakeState.failing.end();
}

void record(const char* call) {
    fakeState.calls.emplace_back(call);
}

Window* findWindow(WindowHandle handle) {
    for (const auto& window : fakeState.windows) {
        if (window.get() == handle) {
            return window.get();
        }
    }
    return nullptr;
}

} // namespace

namespace fake {

void reset() {
    fakeState = FakeState{};
}
void failStep(Step step) {
    fakeState.failing.push_back(step);
}
void setWaitHook(std::function<void()> hook) {
    fakeState.waitHook = std::move(hook);
}

Holdings holdings() {
    int deviceContexts = 0;
    for (const auto& window : fakeState.windows) {
        deviceContexts += window->deviceContextHeld ? 1 : 0;
    }
    return {static_cast<int>(fakeState.classes.size()), static_cast<int>(fakeState.windows.size()),
            deviceContexts, static_cast<int>(fakeState.glContexts.size()),
            fakeState.displayModeChanged};
}

const std::vector<std::string>& calls() {
    return fakeState.calls;
}
const std::vector<ShownMessageBox>& messageBoxes() {
    return fakeState.boxes;
}
const std::vector<Message>& defaultProcessed() {
    return fakeState.defaultProcessed;
}
WindowHandle lastCreatedWindow() {
    return fakeState.lastWindow;
}
WindowStyle lastCreatedStyle() {
    return fakeState.lastStyle;
}
bool lastCreatedTopmost() {
    return fakeState.lastTopmost;
}
int cursorShowCount() {
    return fakeState.cursorShows;
}

} // namespace fake

InstanceHandle currentInstance() {
    static char instance;
    return reinterpret_cast<InstanceHandle>(&instance);
}

void useOffscreenWindows() {}

bool registerClass(const WindowClass& windowClass) {
    record("registerClass");
    if (failing(fake::Step::registerClass)) {
        return false;
    }
    fakeState.classes.push_back(windowClass);
    return true;
}

bool unregisterClass(const char* className, InstanceHandle) {
    record("unregisterClass");
    return std::erase_if(fakeState.classes, [className](const WindowClass& c) {
               return std::string(c.className) == className;
           }) == 1;
}

bool changeDisplayMode(int, int, int) {
    record("changeDisplayMode");
    if (failing(fake::Step::changeDisplayMode)) {
        return false;
    }
    fakeState.displayModeChanged = true;
    return true;
}

void restoreDisplayMode() {
    record("restoreDisplayMode");
    fakeState.displayModeChanged = false;
}

WindowHandle createWindow(const WindowCreation& creation) {
    record("createWindow");
    const auto registered = std::find_if(fakeState.classes.begin(), fakeState.classes.end(),
                                         [&creation](const WindowClass& c) {
                                             return std::string(c.className) == creation.className;
                                         });
    if (failing(fake::Step::createWindow) || registered == fakeState.classes.end()) {
        return nullptr;
    }
    auto window = std::make_unique<Window>();
    window->width = creation.width;
    window->height = creation.height;
    window->deviceContext.window = window.get();
    Window* handle = window.get();
    fakeState.windows.push_back(std::move(window));
    fakeState.lastWindow = handle;
    fakeState.lastStyle = creation.style;
    fakeState.lastTopmost = creation.topmost;
    fakeState.queues.open(handle, registered->procedure);
    fakeState.queues.send(handle, WM_CREATE, 0,
                          reinterpret_cast<std::intptr_t>(creation.creationParameter));
    return handle;
}

bool destroyWindow(WindowHandle handle) {
    record("destroyWindow");
    fakeState.queues.close(handle);
    return std::erase_if(fakeState.windows,
                         [handle](const auto& window) { return window.get() == handle; }) == 1;
}

void showWindow(WindowHandle handle) {
    record("showWindow");
    if (const Window* window = findWindow(handle)) {
        fakeState.queues.send(handle, WM_SIZE, SIZE_RESTORED,
                              makeSizeParameter(window->width, window->height));
    }
}

void showCursor(bool show) {
    record("showCursor");
    fakeState.cursorShows += show ? 1 : 0;
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
    return fakeState.queues.peek(message, handle);
}

MessageResult dispatchMessage(const Message& message) {
    return fakeState.queues.dispatch(message);
}

bool postMessage(WindowHandle handle, std::uint32_t message, std::uintptr_t wParam,
                 std::intptr_t lParam) {
    return fakeState.queues.post({handle, message, wParam, lParam});
}

void waitMessage() {
    record("waitMessage");
    if (fakeState.queues.empty() && fakeState.waitHook) {
        fakeState.waitHook();
    }
    if (fakeState.queues.empty()) {
        std::fputs("fake window system: waiting with nothing left to arrive\n", stderr);
        std::abort();
    }
}

MessageResult defaultWindowProcedure(WindowHandle window, std::uint32_t message,
                                     std::uintptr_t wParam, std::intptr_t lParam) {
    fakeState.defaultProcessed.push_back({window, message, wParam, lParam});
    return 0;
}

DeviceContextHandle getDeviceContext(WindowHandle handle) {
    record("getDeviceContext");
    Window* window = findWindow(handle);
    if (failing(fake::Step::getDeviceContext) || window == nullptr) {
        return nullptr;
    }
    window->deviceContextHeld = true;
    return &window->deviceContext;
}

bool releaseDeviceContext(WindowHandle handle, DeviceContextHandle deviceContext) {
    record("releaseDeviceContext");
    Window* window = findWindow(handle);
    if (window == nullptr || &window->deviceContext != deviceContext ||
        !window->deviceContextHeld) {
        return false;
    }
    window->deviceContextHeld = false;
    return true;
}

int choosePixelFormat(DeviceContextHandle deviceContext, const PixelFormatRequest&) {
    record("choosePixelFormat");
    return failing(fake::Step::choosePixelFormat) || deviceContext == nullptr ? 0 : 1;
}

bool setPixelFormat(DeviceContextHandle deviceContext, int format, const PixelFormatRequest&) {
    record("setPixelFormat");
    return !failing(fake::Step::setPixelFormat) && deviceContext != nullptr && format == 1;
}

GlContextHandle createGlContext(DeviceContextHandle deviceContext) {
    record("createGlContext");
    if (failing(fake::Step::createGlContext) || deviceContext == nullptr) {
        return nullptr;
    }
    fakeState.glContexts.push_back(std::make_unique<GlContext>(GlContext{deviceContext}));
    return fakeState.glContexts.back().get();
}

bool makeCurrent(DeviceContextHandle, GlContextHandle glContext) {
    record(glContext ? "makeCurrent" : "makeCurrent(null)");
    return glContext == nullptr || !failing(fake::Step::makeCurrent);
}

bool deleteGlContext(GlContextHandle glContext) {
    record("deleteGlContext");
    return std::erase_if(fakeState.glContexts,
                         [glContext](const auto& c) { return c.get() == glContext; }) == 1;
}

void* glProcAddress(const char*) {
    return nullptr;
}

bool swapBuffers(DeviceContextHandle deviceContext) {
    record("swapBuffers");
    return deviceContext != nullptr;
}

void showMessageBox(const char* text, const char* caption, MessageBoxIcon) {
    record("showMessageBox");
    std::fprintf(stderr, "%s: %s\n", caption, text);
    fakeState.boxes.push_back({text, caption});
}

} // namespace platform
