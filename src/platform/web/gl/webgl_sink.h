#pragma once

#include "platform/web/gl/fixed_function.h"

#include <emscripten/html5.h>

namespace webgl {

// Draws the finished batches with two small shader programs, with and without the texture.
// Their objects belong to the WebGL context current at the first draw, and are made again when
// another context is current. Every draw sets the program, buffers, attributes 0 to 2, blending
// and depth test it needs, so WebGL calls made elsewhere between draws (such as presenting the
// picture) do no harm if they leave texture unit 0 active, the demo's texture, viewport and
// framebuffer bound, and no other attribute array enabled. Such code calls WebGL by its
// emscripten_gl* names: the standard names of the calls this subset takes over act on the
// demo's fixed-function state.
class WebGlSink : public DrawSink {
public:
    void draw(const DrawBatch& batch) override;

private:
    void prepareForCurrentContext();
    void bindVertices(const DrawBatch& batch);
    void applyState(const RenderState& state) const;

    EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = 0;
    GLuint texturedProgram = 0;
    GLuint plainProgram = 0;
    GLuint vertexBuffer = 0;
    GLuint indexBuffer = 0;
};

} // namespace webgl
