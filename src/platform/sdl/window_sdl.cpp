// The window system on SDL2: one SDL window per window, SDL events turned into messages, and
// every window's picture kept in a virtual display scaled onto it.
#include "platform/fatal_exit.h"
#include "platform/message_queues.h"
#include "platform/sdl/sdl_keys.h"
#include "platform/virtual_display.h"
#include "platform/window_system.h"

#include <SDL.h>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace platform {

struct DeviceContext {
    Window* window = nullptr;
    PixelFormatRequest format;
    bool formatSet = false;
};

struct GlContext {
    SDL_GLContext context = nullptr;
    Window* window = nullptr;
    VirtualDisplay display;
};

struct Window {
    SDL_Window* sdlWindow = nullptr;
    std::intptr_t userData = 0;
    int pictureWidth = 0;
    int pictureHeight = 0;
    bool minimized = false;
    bool deviceContextHeld = false;
    DeviceContext deviceContext;
    GlContext* currentContext = nullptr;
};

namespace {

struct RegisteredClass {
    std::string name;
    WindowClass windowClass;
};

struct WindowSystemState {
    bool videoStarted = false;
    // SIGHUP forwarded as SIGTERM while the display is open.
    bool hangupCaught = false;
    bool displayModeSet = false;
    bool offscreen = false;
    std::vector<RegisteredClass> classes;
    std::vector<std::unique_ptr<Window>> windows;
    MessageQueues queues;
    std::vector<std::unique_ptr<GlContext>> contexts;
    int framebufferProbe = -1; // unknown, then 0 or 1
};

WindowSystemState state;

Window* findWindow(WindowHandle handle) {
    for (const auto& window : state.windows) {
        if (window.get() == handle) {
            return window.get();
        }
    }
    return nullptr;
}

Window* findSdlWindow(Uint32 windowId) {
    SDL_Window* sdlWindow = SDL_GetWindowFromID(windowId);
    for (const auto& window : state.windows) {
        if (window->sdlWindow == sdlWindow) {
            return window.get();
        }
    }
    return nullptr;
}

GlContext* findContext(GlContextHandle handle) {
    for (const auto& context : state.contexts) {
        if (context.get() == handle) {
            return context.get();
        }
    }
    return nullptr;
}

const RegisteredClass* findClass(const char* name) {
    for (const auto& registered : state.classes) {
        if (registered.name == name) {
            return &registered;
        }
    }
    return nullptr;
}

void tearDownWindowSystem();

// Without a display SDL falls back to its offscreen driver on its own, and the demo would then
// play unseen to its end. That driver serves offline rendering, or whoever names it.
bool fellBackToOffscreen() {
    const char* driver = SDL_GetCurrentVideoDriver();
    return !state.offscreen && SDL_GetHint(SDL_HINT_VIDEODRIVER) == nullptr && driver != nullptr &&
           SDL_strcmp(driver, "offscreen") == 0;
}

// SDL turns SIGINT and SIGTERM into a quit event. A closing terminal's SIGHUP takes the same path,
// so the demo still closes its window and gives the screen back; a SIGHUP that was ignored when
// the demo started (nohup) stays ignored.
void forwardHangupAsTerminate(int) {
    std::raise(SIGTERM);
}

void catchHangup() {
    struct sigaction current {};
    if (sigaction(SIGHUP, nullptr, &current) != 0 || current.sa_handler != SIG_DFL) {
        return;
    }
    struct sigaction forward {};
    forward.sa_handler = forwardHangupAsTerminate;
    sigemptyset(&forward.sa_mask);
    state.hangupCaught = sigaction(SIGHUP, &forward, nullptr) == 0;
}

void releaseHangup() {
    if (state.hangupCaught) {
        std::signal(SIGHUP, SIG_DFL);
        state.hangupCaught = false;
    }
}

bool startVideo() {
    if (state.videoStarted) {
        return true;
    }
    // A closed window arrives as its own close event; the demo decides when to quit.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // The fullscreen window must stay up when the user switches to another window.
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "Cannot open the display: %s\n", SDL_GetError());
        return false;
    }
    if (fellBackToOffscreen()) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        std::fprintf(stderr, "Cannot open the display: none is available\n");
        return false;
    }
    // The screen saver and monitor power-down stay off while the demo's windows exist.
    SDL_DisableScreenSaver();
    catchHangup();
    state.videoStarted = true;
    registerTeardown(tearDownWindowSystem);
    return true;
}

void stopVideo() {
    if (!state.videoStarted) {
        return;
    }
    unregisterTeardown(tearDownWindowSystem);
    releaseHangup();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    state.videoStarted = false;
}

void releaseContext(GlContext& context) {
    if (SDL_GL_GetCurrentContext() != context.context) {
        SDL_GL_MakeCurrent(context.window->sdlWindow, context.context);
    }
    context.display.destroy();
    SDL_GL_MakeCurrent(context.window->sdlWindow, nullptr);
    SDL_GL_DeleteContext(context.context);
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
        SDL_DestroyWindow(window->sdlWindow);
    }
    state.windows.clear();
    state.queues = MessageQueues{};
    state.displayModeSet = false;
    SDL_ShowCursor(SDL_ENABLE);
    state.classes.clear();
    stopVideo();
}

void postSize(Window& window, std::uintptr_t kind) {
    const std::intptr_t size =
        kind == SIZE_MINIMIZED ? 0 : makeSizeParameter(window.pictureWidth, window.pictureHeight);
    state.queues.post({&window, WM_SIZE, kind, size});
}

void translateWindowEvent(const SDL_WindowEvent& event) {
    Window* window = findSdlWindow(event.windowID);
    if (window == nullptr) {
        return;
    }
    switch (event.event) {
    case SDL_WINDOWEVENT_CLOSE:
        state.queues.post({window, WM_CLOSE, 0, 0});
        break;
    case SDL_WINDOWEVENT_MINIMIZED:
        window->minimized = true;
        postSize(*window, SIZE_MINIMIZED);
        break;
    case SDL_WINDOWEVENT_MAXIMIZED:
        window->minimized = false;
        postSize(*window, SIZE_MAXIMIZED);
        break;
    case SDL_WINDOWEVENT_RESTORED:
        window->minimized = false;
        postSize(*window, SIZE_RESTORED);
        break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        // The demo always sees its own picture size; the scaling onto the window is ours.
        if (!window->minimized) {
            postSize(*window, SIZE_RESTORED);
        }
        break;
    default:
        break;
    }
}

void translateKeyEvent(const SDL_KeyboardEvent& event) {
    // Keys pressed before the window manager has given us the focus carry no window; they are
    // meant for the demo's window all the same.
    Window* window = event.windowID == 0 && !state.windows.empty() ? state.windows.back().get()
                                                                   : findSdlWindow(event.windowID);
    const std::uintptr_t virtualKey = virtualKeyFor(event.keysym.sym);
    if (window == nullptr || virtualKey == 0) {
        return;
    }
    const std::uint32_t message = event.type == SDL_KEYDOWN ? WM_KEYDOWN : WM_KEYUP;
    state.queues.post({window, message, virtualKey, event.repeat ? 1 : 0});
}

void translateEvent(const SDL_Event& event) {
    switch (event.type) {
    case SDL_WINDOWEVENT:
        translateWindowEvent(event.window);
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        translateKeyEvent(event.key);
        break;
    case SDL_QUIT:
        // SIGINT and SIGTERM arrive here: every window is asked to close, as by its close box.
        state.queues.postToAll(WM_CLOSE);
        break;
    default:
        break;
    }
}

void pumpEvents() {
    if (!state.videoStarted) {
        return;
    }
    SDL_Event event;
    while (SDL_PollEvent(&event) == 1) {
        translateEvent(event);
    }
}

bool probeFramebufferObjects() {
    if (state.framebufferProbe >= 0) {
        return state.framebufferProbe == 1;
    }
    SDL_Window* probe = SDL_CreateWindow("", 0, 0, 16, 16, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    SDL_GLContext context = probe ? SDL_GL_CreateContext(probe) : nullptr;
    state.framebufferProbe = context && hasFramebufferObjects(glProcAddress) ? 1 : 0;
    if (context) {
        SDL_GL_MakeCurrent(probe, nullptr);
        SDL_GL_DeleteContext(context);
    }
    if (probe) {
        SDL_DestroyWindow(probe);
    }
    return state.framebufferProbe == 1;
}

void setWindowAttributes(const PixelFormatRequest& request) {
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, request.doubleBuffer ? 1 : 0);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, request.alphaBits > 0 ? 8 : 0);
    // Only used when framebuffer objects are missing and the window is drawn into directly.
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, request.depthBits);
}

} // namespace

InstanceHandle currentInstance() {
    static char instance;
    return reinterpret_cast<InstanceHandle>(&instance);
}

void useOffscreenWindows() {
    state.offscreen = true;
}

bool registerClass(const WindowClass& windowClass) {
    if (windowClass.className == nullptr || windowClass.procedure == nullptr ||
        findClass(windowClass.className) != nullptr || !startVideo()) {
        return false;
    }
    state.classes.push_back({windowClass.className, windowClass});
    return true;
}

bool unregisterClass(const char* className, InstanceHandle) {
    const auto found = std::find_if(state.classes.begin(), state.classes.end(),
                                    [className](const auto& c) { return c.name == className; });
    if (found == state.classes.end()) {
        return false;
    }
    state.classes.erase(found);
    if (state.classes.empty() && state.windows.empty()) {
        stopVideo();
    }
    return true;
}

bool changeDisplayMode(int width, int height, int colourBits) {
    SDL_DisplayMode desktop;
    if (!startVideo() || width <= 0 || height <= 0 || colourBits <= 0 ||
        SDL_GetDesktopDisplayMode(0, &desktop) != 0 || !probeFramebufferObjects()) {
        return false;
    }
    if (state.offscreen) {
        return true;
    }
    state.displayModeSet = true;
    return true;
}

void restoreDisplayMode() {
    state.displayModeSet = false;
    for (const auto& window : state.windows) {
        if (SDL_GetWindowFlags(window->sdlWindow) & SDL_WINDOW_FULLSCREEN) {
            SDL_SetWindowFullscreen(window->sdlWindow, 0);
        }
    }
}

WindowHandle createWindow(const WindowCreation& creation) {
    const RegisteredClass* registered = findClass(creation.className);
    if (registered == nullptr || creation.width <= 0 || creation.height <= 0) {
        return nullptr;
    }
    setWindowAttributes(PixelFormatRequest{});
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI;
    SDL_Rect placement{static_cast<int>(SDL_WINDOWPOS_CENTERED),
                       static_cast<int>(SDL_WINDOWPOS_CENTERED), creation.width, creation.height};
    if (creation.style == WindowStyle::popup && state.displayModeSet) {
        // Placed over the whole desktop as well, so it covers the screen even where no window
        // manager acts on the full-screen request.
        flags |= SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS;
        SDL_GetDisplayBounds(0, &placement);
    } else {
        flags |= SDL_WINDOW_RESIZABLE;
    }
    if (creation.topmost) {
        flags |= SDL_WINDOW_ALWAYS_ON_TOP;
    }
    SDL_Window* sdlWindow =
        SDL_CreateWindow(creation.title, placement.x, placement.y, placement.w, placement.h, flags);
    if (sdlWindow == nullptr) {
        std::fprintf(stderr, "Cannot create a window: %s\n", SDL_GetError());
        return nullptr;
    }
    auto window = std::make_unique<Window>();
    window->sdlWindow = sdlWindow;
    window->pictureWidth = creation.width;
    window->pictureHeight = creation.height;
    window->deviceContext.window = window.get();
    Window* handle = window.get();
    state.windows.push_back(std::move(window));
    state.queues.open(handle, registered->windowClass.procedure);
    state.queues.send(handle, WM_CREATE, 0,
                      reinterpret_cast<std::intptr_t>(creation.creationParameter));
    return handle;
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
    SDL_DestroyWindow(window->sdlWindow);
    state.queues.close(window);
    std::erase_if(state.windows, [window](const auto& w) { return w.get() == window; });
    return true;
}

void showWindow(WindowHandle handle) {
    if (Window* window = findWindow(handle)) {
        if (!state.offscreen) {
            SDL_ShowWindow(window->sdlWindow);
        }
        window->minimized = false;
        state.queues.send(window, WM_SIZE, SIZE_RESTORED,
                          makeSizeParameter(window->pictureWidth, window->pictureHeight));
    }
}

void showCursor(bool show) {
    SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
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
    pumpEvents();
    return state.queues.peek(message, handle);
}

MessageResult dispatchMessage(const Message& message) {
    return state.queues.dispatch(message);
}

bool postMessage(WindowHandle handle, std::uint32_t message, std::uintptr_t wParam,
                 std::intptr_t lParam) {
    return state.queues.post({handle, message, wParam, lParam});
}

void waitMessage() {
    pumpEvents();
    SDL_Event event;
    while (state.queues.empty() && state.videoStarted && SDL_WaitEvent(&event) == 1) {
        translateEvent(event);
    }
}

MessageResult defaultWindowProcedure(WindowHandle, std::uint32_t, std::uintptr_t, std::intptr_t) {
    return 0;
}

DeviceContextHandle getDeviceContext(WindowHandle handle) {
    Window* window = findWindow(handle);
    if (window == nullptr) {
        return nullptr;
    }
    window->deviceContextHeld = true;
    return &window->deviceContext;
}

bool releaseDeviceContext(WindowHandle handle, DeviceContextHandle deviceContext) {
    Window* window = findWindow(handle);
    if (window == nullptr || &window->deviceContext != deviceContext ||
        !window->deviceContextHeld) {
        return false;
    }
    window->deviceContextHeld = false;
    return true;
}

int choosePixelFormat(DeviceContextHandle deviceContext, const PixelFormatRequest& request) {
    const bool servable = deviceContext != nullptr && request.colourBits > 0 &&
                          request.colourBits <= 32 && request.depthBits >= 0 &&
                          request.depthBits <= 32 && request.alphaBits >= 0;
    return servable ? 1 : 0;
}

bool setPixelFormat(DeviceContextHandle deviceContext, int format,
                    const PixelFormatRequest& request) {
    if (deviceContext == nullptr || format != 1 || deviceContext->formatSet) {
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
    SDL_GLContext context = SDL_GL_CreateContext(window->sdlWindow);
    if (context == nullptr) {
        std::fprintf(stderr, "Cannot create an OpenGL context: %s\n", SDL_GetError());
        return nullptr;
    }
    auto glContext = std::make_unique<GlContext>();
    glContext->context = context;
    glContext->window = window;
    // Without framebuffer objects the window is drawn into directly; it is then never full
    // screen, because the display mode switch refuses.
    glContext->display.create(glProcAddress, window->pictureWidth, window->pictureHeight,
                              deviceContext->format.depthBits);
    // Paced by the display: adaptive where offered, else every refresh.
    if (SDL_GL_SetSwapInterval(-1) != 0) {
        SDL_GL_SetSwapInterval(1);
    }
    SDL_GL_MakeCurrent(window->sdlWindow, nullptr);
    window->currentContext = nullptr;
    state.contexts.push_back(std::move(glContext));
    return state.contexts.back().get();
}

bool makeCurrent(DeviceContextHandle deviceContext, GlContextHandle handle) {
    if (handle == nullptr) {
        SDL_Window* window = deviceContext ? deviceContext->window->sdlWindow : nullptr;
        if (deviceContext) {
            deviceContext->window->currentContext = nullptr;
        }
        return SDL_GL_MakeCurrent(window, nullptr) == 0;
    }
    GlContext* context = findContext(handle);
    if (deviceContext == nullptr || context == nullptr ||
        context->window != deviceContext->window ||
        SDL_GL_MakeCurrent(context->window->sdlWindow, context->context) != 0) {
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
    return SDL_GL_GetProcAddress(name);
}

bool swapBuffers(DeviceContextHandle deviceContext) {
    if (deviceContext == nullptr) {
        return false;
    }
    Window* window = deviceContext->window;
    GlContext* context = window->currentContext;
    if (context != nullptr && context->display.isActive()) {
        int screenWidth = 0;
        int screenHeight = 0;
        SDL_GL_GetDrawableSize(window->sdlWindow, &screenWidth, &screenHeight);
        context->display.present(screenWidth, screenHeight);
    }
    SDL_GL_SwapWindow(window->sdlWindow);
    return true;
}

void showMessageBox(const char* text, const char* caption, MessageBoxIcon) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
    std::fflush(stderr);
    // Without a reachable display SDL returns at once with an error; stderr has the text already.
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_WARNING, caption, text, nullptr);
}

} // namespace platform
