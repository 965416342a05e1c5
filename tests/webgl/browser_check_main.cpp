// Draws the scenario's blend steps and uploads its mipmap pictures through the WebGL subset in
// a browser, and prints what WebGL made of them as number sets, for comparison with Mesa's.
#include "fixed_function_scenario.h"
#include "rgba_into_rgb_run.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <emscripten/html5.h>
#include <iostream>

namespace {

bool makeContext() {
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.antialias = false;
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context =
        emscripten_webgl_create_context("#canvas", &attributes);
    return context > 0 &&
           emscripten_webgl_make_context_current(context) == EMSCRIPTEN_RESULT_SUCCESS;
}

void recordBlending(NumberSets& sets) {
    glViewport(0, 0, viewportSide, viewportSide);
    glClearColor(clearColour[0], clearColour[1], clearColour[2], clearColour[3]);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    for (const DrawStep& step : blendSteps()) {
        step.draw();
        GLubyte pixel[4] = {};
        glReadPixels(viewportSide / 2, viewportSide / 2, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
        sets[step.name] = {pixel[0] / 255.0, pixel[1] / 255.0, pixel[2] / 255.0};
    }
}

// Level 0 only, the one level WebGL 1 reads back; Mesa's sets continue with the smaller ones.
void recordMipmapBases(NumberSets& sets) {
    for (const MipmapSource& source : mipmapSources()) {
        GLuint texture = 0;
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glPixelStorei(GL_UNPACK_ALIGNMENT, source.alignment);
        const GLenum format = source.components == 4 ? GL_RGBA : GL_RGB;
        gluBuild2DMipmaps(GL_TEXTURE_2D, source.components, source.width, source.height, format,
                          GL_UNSIGNED_BYTE, source.pixels.data());
        GLint width = 0;
        GLint height = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
        std::vector<GLubyte> texels(static_cast<std::size_t>(width * height * source.components));
        glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, texels.data());
        std::vector<double>& level = sets[source.name];
        level = {static_cast<double>(width), static_cast<double>(height)};
        level.insert(level.end(), texels.begin(), texels.end());
        glDeleteTextures(1, &texture);
    }
}

} // namespace

int main() {
    if (!makeContext()) {
        std::cout << "no WebGL context" << std::endl;
        return 1;
    }
    NumberSets sets;
    recordBlending(sets);
    recordMipmapBases(sets);
    recordRgbaIntoRgb(sets);
    sets["error/at the end"] = {static_cast<double>(glGetError())};
    std::cout << numberSetsText(sets) << std::endl;
    return 0;
}
