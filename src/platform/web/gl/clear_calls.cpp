// The clear colour and colour mask as last set in the current context, answered from here:
// WebGL's answer to such a question waits for the drawing, and the page asks at every swap.
#include "platform/web/gl/clear_calls.h"

#include <GL/gl.h>
#include <algorithm>
#include <array>
#include <emscripten/html5.h>
#include <webgl/webgl1.h>

namespace {

struct ClearState {
    EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = 0;
    std::array<GLfloat, 4> colour = {0.0f, 0.0f, 0.0f, 0.0f};
    std::array<GLboolean, 4> mask = {GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE};
};

ClearState clearState;

// A context made since starts with OpenGL's defaults.
ClearState& currentClearState() {
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = emscripten_webgl_get_current_context();
    if (clearState.context != context) {
        clearState = ClearState{};
        clearState.context = context;
    }
    return clearState;
}

GLfloat clamped(GLfloat value) {
    return std::clamp(value, 0.0f, 1.0f);
}

} // namespace

extern "C" {

void glClearColor(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha) {
    currentClearState().colour = {clamped(red), clamped(green), clamped(blue), clamped(alpha)};
    emscripten_glClearColor(red, green, blue, alpha);
}

void glColorMask(GLboolean red, GLboolean green, GLboolean blue, GLboolean alpha) {
    currentClearState().mask = {red, green, blue, alpha};
    emscripten_glColorMask(red, green, blue, alpha);
}

void glGetBooleanv(GLenum name, GLboolean* values) {
    if (name == GL_COLOR_WRITEMASK) {
        std::copy_n(currentClearState().mask.begin(), 4, values);
        return;
    }
    emscripten_glGetBooleanv(name, values);
}

} // extern "C"

namespace webgl {

bool clearColourAsked(GLenum name, GLfloat* values) {
    if (name != GL_COLOR_CLEAR_VALUE) {
        return false;
    }
    std::copy_n(currentClearState().colour.begin(), 4, values);
    return true;
}

} // namespace webgl
