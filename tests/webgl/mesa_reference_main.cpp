// Runs the fixed-function scenario on Mesa and writes what it gives, for the WebGL subset's
// core to be compared with: lumivaha_webgl_reference OUTPUT.json
#include "fixed_function_scenario.h"
#include "number_sets.h"
#include "rgba_into_rgb_run.h"
#include "support/gl_test_context.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <cstdio>

namespace {

constexpr int feedbackFloatsPerVertex = 11; // x y z, r g b a, s t r q

// Every vertex of the polygons Mesa hands back: window x, y, z, colour and s, t.
std::vector<double> feedbackVertices(const DrawStep& step) {
    std::vector<GLfloat> buffer(4096);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    step.draw();
    const GLint used = glRenderMode(GL_RENDER);
    std::vector<double> vertices;
    for (GLint at = 0; at < used;) {
        if (buffer[static_cast<std::size_t>(at)] != GL_POLYGON_TOKEN) {
            std::fprintf(stderr, "%s: unexpected feedback token %g\n", step.name,
                         static_cast<double>(buffer[static_cast<std::size_t>(at)]));
            return {};
        }
        const auto count = static_cast<GLint>(buffer[static_cast<std::size_t>(at + 1)]);
        at += 2;
        for (GLint v = 0; v < count; ++v, at += feedbackFloatsPerVertex) {
            const GLfloat* vertex = buffer.data() + at;
            vertices.insert(vertices.end(), vertex, vertex + 9);
        }
    }
    return vertices;
}

// Mesa generates texture coordinates only for a unit with a complete texture: one texel.
void bindCompleteTexture() {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    constexpr GLubyte texel[4] = {255, 255, 255, 255};
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
}

std::vector<double> centrePixel() {
    GLubyte pixel[4] = {};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(viewportSide / 2, viewportSide / 2, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    return {pixel[0] / 255.0, pixel[1] / 255.0, pixel[2] / 255.0};
}

void recordBlending(NumberSets& sets) {
    glDisable(GL_DEPTH_TEST);
    glClearColor(clearColour[0], clearColour[1], clearColour[2], clearColour[3]);
    glClear(GL_COLOR_BUFFER_BIT);
    for (const DrawStep& step : blendSteps()) {
        step.draw();
        sets[step.name] = centrePixel();
    }
}

void recordMipmaps(NumberSets& sets) {
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    for (const MipmapSource& source : mipmapSources()) {
        glPixelStorei(GL_UNPACK_ALIGNMENT, source.alignment);
        GLuint texture = 0;
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        const GLenum format = source.components == 4 ? GL_RGBA : GL_RGB;
        gluBuild2DMipmaps(GL_TEXTURE_2D, source.components, source.width, source.height, format,
                          GL_UNSIGNED_BYTE, source.pixels.data());
        std::vector<double>& levels = sets[source.name];
        for (GLint level = 0;; ++level) {
            GLint width = 0;
            GLint height = 0;
            glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &width);
            glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &height);
            if (width == 0) {
                break;
            }
            std::vector<GLubyte> texels(static_cast<std::size_t>(width * height) *
                                        static_cast<std::size_t>(source.components));
            glGetTexImage(GL_TEXTURE_2D, level, format, GL_UNSIGNED_BYTE, texels.data());
            levels.push_back(width);
            levels.push_back(height);
            levels.insert(levels.end(), texels.begin(), texels.end());
        }
        glDeleteTextures(1, &texture);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.json\n", argv[0]);
        return 2;
    }
    GlTestContext context(viewportSide, viewportSide);
    if (!context.ready()) {
        std::fprintf(stderr, "no OpenGL context\n");
        return 1;
    }
    glViewport(0, 0, viewportSide, viewportSide);
    bindCompleteTexture();
    NumberSets sets;
    recordMatrixAndColourQueries(sets);
    for (const DrawStep& step : vertexSteps()) {
        sets[step.name] = feedbackVertices(step);
    }
    recordBlending(sets);
    recordMipmaps(sets);
    recordRgbaIntoRgb(sets);
    return writeNumberSets(argv[1], sets) ? 0 : 1;
}
