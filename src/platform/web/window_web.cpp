// The window system in a browser tab: the page's one canvas is the window, its WebGL context
// the rendering context, the page's key events the messages. Swapping yields to the browser
// until its next animation frame, so the shell's blocking message pump runs unchanged.
#include "platform/message_queues.h"
#include "platform/web/web_page.h"
#include "platform/window_system.h"

#include <algorithm>
#include <cstdio>
#include <emscripten.h>
#include <emscripten/html5.h>
#include <memory>
#include <string>
#include <vector>
#include <webgl/webgl1.h>

namespace platform {

struct DeviceContext {
    Window* window = nullptr;
    PixelFormatRequest format;
};

struct GlContext {
    EMSCRIPTEN_WEBGL_CONTEXT_HANDLE handle = 0;
};

struct Window {
    std::intptr_t userData = 0;
    int width = 0;
    int height = 0;
    bool deviceContextHeld = false;
    DeviceContext deviceContext;
};

namespace {

constexpr const char* canvasSelector = "#canvas";
// How often a wait for messages looks again: the page's events arrive between the looks.
constexpr unsigned waitIntervalMilliseconds = 50;

std::vector<WindowClass> classes;
// The page has one canvas, so there is at most one window.
std::unique_ptr<Window> window;
MessageQueues queues;
std::vector<std::unique_ptr<GlContext>> glContexts;

Window* findWindow(WindowHandle handle) {
    return handle != nullptr && handle == window.get() ? window.get() : nullptr;
}

// Only the keys the demo answers to are kept from the browser: Space would scroll the page and
// F1 open the browser's help. Every other key keeps its usual meaning in the browser too.
bool isDemoKey(unsigned long keyCode) {
    return keyCode == VK_SPACE || keyCode == VK_F1 || keyCode == VK_ESCAPE;
}

EM_BOOL keyEvent(int eventType, const EmscriptenKeyboardEvent* event, void*) {
    // Legacy key codes are the classic virtual-key codes for every key the demo knows.
    const unsigned long keyCode = event->keyCode;
    if (window == nullptr || keyCode == 0 || keyCode > 255) {
        return EM_FALSE;
    }
    const std::uint32_t message = eventType == EMSCRIPTEN_EVENT_KEYDOWN ? WM_KEYDOWN : WM_KEYUP;
    queues.post({window.get(), message, keyCode, 0});
    return isDemoKey(keyCode) ? EM_TRUE : EM_FALSE;
}

void listenToKeys(bool listen) {
    const em_key_callback_func callback = listen ? keyEvent : nullptr;
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, callback);
    emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, callback);
}

// Chromium keeps a context alive, and counted against its limit of active ones, until the
// garbage collector takes its canvas; losing it on purpose gives its memory back at once.
EM_JS(void, loseContext, (EMSCRIPTEN_WEBGL_CONTEXT_HANDLE handle), {
    const extension = GL.contexts[handle].GLctx.getExtension("WEBGL_lose_context");
    if (extension) {
        extension.loseContext();
    }
});

// The picture keeps the alpha the demo draws, as the native 800x600 picture does, and the page
// must show it opaque all the same. Only the clear colour, colour mask and scissor are touched,
// and restored; the subset answers for the first two without waiting for the drawing.
void makePictureOpaque() {
    if (emscripten_webgl_get_current_context() == 0) {
        return;
    }
    GLfloat clearColour[4] = {};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColour);
    GLboolean colourMask[4] = {};
    glGetBooleanv(GL_COLOR_WRITEMASK, colourMask);
    const GLboolean scissor = emscripten_glIsEnabled(GL_SCISSOR_TEST);
    emscripten_glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_TRUE);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    emscripten_glClear(GL_COLOR_BUFFER_BIT);
    glColorMask(colourMask[0], colourMask[1], colourMask[2], colourMask[3]);
    glClearColor(clearColour[0], clearColour[1], clearColour[2], clearColour[3]);
    if (scissor) {
        emscripten_glEnable(GL_SCISSOR_TEST);
    }
}

EM_ASYNC_JS(void, waitForAnimationFrame, (), {
    await new Promise(function(resolve) { requestAnimationFrame(function() { resolve(); }); });
});

} // namespace

InstanceHandle currentInstance() {
    static char instance;
    return reinterpret_cast<InstanceHandle>(&instance);
}

// The page never shows anything but the canvas, so there is nothing to hide.
void useOffscreenWindows() {}

bool registerClass(const WindowClass& windowClass) {
    const bool taken =
        std::any_of(classes.begin(), classes.end(), [&windowClass](const WindowClass& known) {
            return std::string(known.className) == windowClass.className;
        });
    if (taken) {
        return false;
    }
    classes.push_back(windowClass);
    return true;
}

bool unregisterClass(const char* className, InstanceHandle) {
    return std::erase_if(classes, [className](const WindowClass& known) {
               return std::string(known.className) == className;
           }) == 1;
}

// The page letterboxes the canvas in whatever room it has and offers its own full-screen
// button; the user's screen is the browser's business.
bool changeDisplayMode(int, int, int) {
    return true;
}

void restoreDisplayMode() {}

WindowHandle createWindow(const WindowCreation& creation) {
    const auto registered =
        std::find_if(classes.begin(), classes.end(), [&creation](const WindowClass& known) {
            return std::string(known.className) == creation.className;
        });
    if (window != nullptr || registered == classes.end()) {
        return nullptr;
    }
    window = std::make_unique<Window>();
    window->width = creation.width;
    window->height = creation.height;
    window->deviceContext.window = window.get();
    emscripten_set_canvas_element_size(canvasSelector, creation.width, creation.height);
    web::setPageTitle(creation.title);
    listenToKeys(true);
    Window* handle = window.get();
    queues.open(handle, registered->procedure);
    queues.send(handle, WM_CREATE, 0, reinterpret_cast<std::intptr_t>(creation.creationParameter));
    return handle;
}

bool destroyWindow(WindowHandle handle) {
    if (findWindow(handle) == nullptr) {
        return false;
    }
    listenToKeys(false);
    queues.close(handle);
    window.reset();
    return true;
}

void showWindow(WindowHandle handle) {
    if (const Window* shown = findWindow(handle)) {
        queues.send(handle, WM_SIZE, SIZE_RESTORED, makeSizeParameter(shown->width, shown->height));
    }
}

// The page's own cursor stays as the browser shows it.
void showCursor(bool) {}

std::intptr_t getWindowUserData(WindowHandle handle) {
    const Window* found = findWindow(handle);
    return found ? found->userData : 0;
}

void setWindowUserData(WindowHandle handle, std::intptr_t value) {
    if (Window* found = findWindow(handle)) {
        found->userData = value;
    }
}

bool peekMessage(Message& message, WindowHandle handle) {
    return queues.peek(message, handle);
}

MessageResult dispatchMessage(const Message& message) {
    return queues.dispatch(message);
}

bool postMessage(WindowHandle handle, std::uint32_t message, std::uintptr_t wParam,
                 std::intptr_t lParam) {
    return queues.post({handle, message, wParam, lParam});
}

void waitMessage() {
    while (queues.empty()) {
        emscripten_sleep(waitIntervalMilliseconds);
    }
}

MessageResult defaultWindowProcedure(WindowHandle, std::uint32_t, std::uintptr_t, std::intptr_t) {
    return 0;
}

DeviceContextHandle getDeviceContext(WindowHandle handle) {
    Window* found = findWindow(handle);
    if (found == nullptr) {
        return nullptr;
    }
    found->deviceContextHeld = true;
    return &found->deviceContext;
}

bool releaseDeviceContext(WindowHandle handle, DeviceContextHandle deviceContext) {
    Window* found = findWindow(handle);
    if (found == nullptr || &found->deviceContext != deviceContext || !found->deviceContextHeld) {
        return false;
    }
    found->deviceContextHeld = false;
    return true;
}

// WebGL offers one kind of drawing buffer; its options are set when the context is made.
int choosePixelFormat(DeviceContextHandle deviceContext, const PixelFormatRequest&) {
    return deviceContext != nullptr ? 1 : 0;
}

bool setPixelFormat(DeviceContextHandle deviceContext, int format,
                    const PixelFormatRequest& request) {
    if (deviceContext == nullptr || format != 1) {
        return false;
    }
    deviceContext->format = request;
    return true;
}

GlContextHandle createGlContext(DeviceContextHandle deviceContext) {
    if (deviceContext == nullptr) {
        return nullptr;
    }
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    // With alpha, as natively: the render target's first copy of a cycle takes the picture's
    // alpha, which that frame's blur weighs by. Each swap makes the picture opaque.
    attributes.alpha = EM_TRUE;
    attributes.depth = deviceContext->format.depthBits > 0 ? EM_TRUE : EM_FALSE;
    attributes.stencil = EM_FALSE;
    attributes.antialias = EM_FALSE;
    attributes.majorVersion = 1;
    attributes.minorVersion = 0;
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE handle =
        emscripten_webgl_create_context(canvasSelector, &attributes);
    if (handle <= 0) {
        return nullptr;
    }
    glContexts.push_back(std::make_unique<GlContext>(GlContext{handle}));
    return glContexts.back().get();
}

bool makeCurrent(DeviceContextHandle, GlContextHandle glContext) {
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE handle = glContext ? glContext->handle : 0;
    return emscripten_webgl_make_context_current(handle) == EMSCRIPTEN_RESULT_SUCCESS;
}

bool deleteGlContext(GlContextHandle glContext) {
    const auto found =
        std::find_if(glContexts.begin(), glContexts.end(),
                     [glContext](const auto& known) { return known.get() == glContext; });
    if (found == glContexts.end()) {
        return false;
    }
    loseContext((*found)->handle);
    emscripten_webgl_destroy_context((*found)->handle);
    glContexts.erase(found);
    // The next context must start from WebGL's defaults, as a new window's does natively.
    web::renewCanvas();
    return true;
}

// The demo asks for no extensions through this.
void* glProcAddress(const char*) {
    return nullptr;
}

bool swapBuffers(DeviceContextHandle deviceContext) {
    if (deviceContext == nullptr) {
        return false;
    }
    makePictureOpaque();
    // The browser shows the canvas once control returns to it.
    waitForAnimationFrame();
    return true;
}

void showMessageBox(const char* text, const char* caption, MessageBoxIcon) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
    web::showPageMessage(caption, text);
}

} // namespace platform
