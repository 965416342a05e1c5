#include "platform/web/gl/webgl_sink.h"

#include <cstddef>
#include <cstdio>
#include <webgl/webgl1.h>

namespace webgl {

namespace {

static_assert(sizeof(TransformedVertex) == 10 * sizeof(GLfloat),
              "vertices go to WebGL as they are laid out in memory");

// Fixed before linking, so other WebGL code knows which arrays are ours.
constexpr GLuint positionAttribute = 0;
constexpr GLuint colourAttribute = 1;
constexpr GLuint texCoordAttribute = 2;

// Positions arrive in clip coordinates and colours clamped: the fixed-function vertex stage
// has already run.
constexpr const char* vertexShaderSource = R"(
attribute vec4 position;
attribute vec4 colour;
attribute vec2 texCoord;
varying vec4 fragmentColour;
varying vec2 fragmentTexCoord;
void main() {
    gl_Position = position;
    fragmentColour = colour;
    fragmentTexCoord = texCoord;
}
)";

// OpenGL's default texture environment, GL_MODULATE; an RGB texture samples with alpha 1. Two
// programs, with and without the texture, rather than a branch that a software rasteriser
// would pay for at every fragment.
constexpr const char* texturedFragmentShaderSource = R"(
#ifdef GL_FRAGMENT_PRECISION_HIGH
precision highp float;
#else
precision mediump float;
#endif
uniform sampler2D picture;
varying vec4 fragmentColour;
varying vec2 fragmentTexCoord;
void main() {
    gl_FragColor = fragmentColour * texture2D(picture, fragmentTexCoord);
}
)";

constexpr const char* plainFragmentShaderSource = R"(
#ifdef GL_FRAGMENT_PRECISION_HIGH
precision highp float;
#else
precision mediump float;
#endif
varying vec4 fragmentColour;
void main() {
    gl_FragColor = fragmentColour;
}
)";

GLuint compileShader(GLenum type, const char* source) {
    const GLuint shader = emscripten_glCreateShader(type);
    emscripten_glShaderSource(shader, 1, &source, nullptr);
    emscripten_glCompileShader(shader);
    GLint compiled = GL_FALSE;
    emscripten_glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (compiled == GL_FALSE) {
        char log[1024] = {};
        emscripten_glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        std::fprintf(stderr, "WebGL shader does not compile: %s\n", log);
    }
    return shader;
}

GLuint linkProgram(const char* fragmentShaderSource) {
    const GLuint program = emscripten_glCreateProgram();
    const GLuint vertexShader = compileShader(GL_VERTEX_SHADER, vertexShaderSource);
    const GLuint fragmentShader = compileShader(GL_FRAGMENT_SHADER, fragmentShaderSource);
    emscripten_glAttachShader(program, vertexShader);
    emscripten_glAttachShader(program, fragmentShader);
    emscripten_glBindAttribLocation(program, positionAttribute, "position");
    emscripten_glBindAttribLocation(program, colourAttribute, "colour");
    emscripten_glBindAttribLocation(program, texCoordAttribute, "texCoord");
    emscripten_glLinkProgram(program);
    // The program keeps what it needs; the shaders go once it is linked.
    emscripten_glDeleteShader(vertexShader);
    emscripten_glDeleteShader(fragmentShader);
    GLint linked = GL_FALSE;
    emscripten_glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked == GL_FALSE) {
        char log[1024] = {};
        emscripten_glGetProgramInfoLog(program, sizeof log, nullptr, log);
        std::fprintf(stderr, "WebGL program does not link: %s\n", log);
    }
    return program;
}

void setCapability(GLenum cap, bool enabled) {
    if (enabled) {
        emscripten_glEnable(cap);
    } else {
        emscripten_glDisable(cap);
    }
}

void pointAttribute(GLuint index, GLint size, std::size_t offset) {
    emscripten_glEnableVertexAttribArray(index);
    emscripten_glVertexAttribPointer(index, size, GL_FLOAT, GL_FALSE, sizeof(TransformedVertex),
                                     reinterpret_cast<const void*>(offset));
}

} // namespace

void WebGlSink::draw(const DrawBatch& batch) {
    prepareForCurrentContext();
    emscripten_glUseProgram(batch.state.texturing ? texturedProgram : plainProgram);
    bindVertices(batch);
    applyState(batch.state);
    if (batch.indices.empty()) {
        emscripten_glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(batch.vertices.size()));
        return;
    }
    emscripten_glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
    emscripten_glBufferData(GL_ELEMENT_ARRAY_BUFFER,
                            static_cast<GLsizeiptr>(batch.indices.size() * sizeof(GLushort)),
                            batch.indices.data(), GL_STREAM_DRAW);
    emscripten_glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(batch.indices.size()),
                              GL_UNSIGNED_SHORT, nullptr);
}

void WebGlSink::prepareForCurrentContext() {
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE currentContext = emscripten_webgl_get_current_context();
    if (currentContext == context) {
        return;
    }
    // Objects of a context that is gone need no deleting; those of one still alive stay
    // with it.
    context = currentContext;
    texturedProgram = linkProgram(texturedFragmentShaderSource);
    plainProgram = linkProgram(plainFragmentShaderSource);
    emscripten_glUseProgram(texturedProgram);
    emscripten_glUniform1i(emscripten_glGetUniformLocation(texturedProgram, "picture"), 0);
    emscripten_glGenBuffers(1, &vertexBuffer);
    emscripten_glGenBuffers(1, &indexBuffer);
}

void WebGlSink::bindVertices(const DrawBatch& batch) {
    emscripten_glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    emscripten_glBufferData(
        GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(batch.vertices.size() * sizeof(TransformedVertex)),
        batch.vertices.data(), GL_STREAM_DRAW);
    pointAttribute(positionAttribute, 4, offsetof(TransformedVertex, clip));
    pointAttribute(colourAttribute, 4, offsetof(TransformedVertex, colour));
    pointAttribute(texCoordAttribute, 2, offsetof(TransformedVertex, texCoord));
}

void WebGlSink::applyState(const RenderState& state) const {
    setCapability(GL_BLEND, state.blending);
    setCapability(GL_DEPTH_TEST, state.depthTest);
    emscripten_glBlendFunc(state.blendSource, state.blendDestination);
}

} // namespace webgl
