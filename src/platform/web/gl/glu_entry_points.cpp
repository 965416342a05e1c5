// The GLU calls the demo makes, over the fixed-function state and WebGL's textures.
#include "platform/web/gl/fixed_function_instance.h"
#include "platform/web/gl/mipmap_chain.h"
#include "platform/web/gl/texture_calls.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <webgl/webgl1.h>

namespace {

int componentCount(GLenum format) {
    switch (format) {
    case GL_RGB:
        return 3;
    case GL_RGBA:
        return 4;
    default:
        return 0;
    }
}

// WebGL keeps texels in the format they arrive in, so the internal format must name the same
// components: 3 or GL_RGB for RGB, 4 or GL_RGBA for RGBA.
bool internalFormatMatches(GLint internalFormat, GLenum format) {
    const int components = componentCount(format);
    return internalFormat == components || internalFormat == static_cast<GLint>(format);
}

void uploadLevels(GLenum target, GLenum format, const std::vector<webgl::PixelImage>& levels) {
    GLint alignment = 4;
    emscripten_glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    // The levels' rows are packed without gaps.
    emscripten_glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (std::size_t level = 0; level < levels.size(); ++level) {
        const webgl::PixelImage& image = levels[level];
        emscripten_glTexImage2D(target, static_cast<GLint>(level), static_cast<GLint>(format),
                                image.width, image.height, 0, format, GL_UNSIGNED_BYTE,
                                image.texels.data());
        webgl::rememberBoundTextureLevel(static_cast<GLint>(level), image.width, image.height,
                                         format);
    }
    emscripten_glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
}

} // namespace

extern "C" {

void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
    webgl::fixedFunction().multiplyMatrix(webgl::perspectiveMatrix(fovy, aspect, zNear, zFar));
}

void gluLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centreX, GLdouble centreY,
               GLdouble centreZ, GLdouble upX, GLdouble upY, GLdouble upZ) {
    auto vector = [](GLdouble x, GLdouble y, GLdouble z) {
        return webgl::Vector3{static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
    };
    webgl::fixedFunction().multiplyMatrix(webgl::lookAtMatrix(
        vector(eyeX, eyeY, eyeZ), vector(centreX, centreY, centreZ), vector(upX, upY, upZ)));
}

// Unsigned bytes in RGB or RGBA only: what the demo's pictures are.
GLint gluBuild2DMipmaps(GLenum target, GLint internalFormat, GLsizei width, GLsizei height,
                        GLenum format, GLenum type, const void* data) {
    if (width < 1 || height < 1) {
        return GLU_INVALID_VALUE;
    }
    if (type != GL_UNSIGNED_BYTE || componentCount(format) == 0 ||
        !internalFormatMatches(internalFormat, format)) {
        return GLU_INVALID_ENUM;
    }
    GLint alignment = 4;
    emscripten_glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    const webgl::PixelImage picture = webgl::unpackImage(
        static_cast<const std::uint8_t*>(data), width, height, componentCount(format), alignment);
    uploadLevels(target, format, webgl::buildMipmapChain(picture));
    return 0;
}

const GLubyte* gluErrorString(GLenum error) {
    const char* text = nullptr;
    switch (error) {
    case GL_NO_ERROR:
        text = "no error";
        break;
    case GL_INVALID_ENUM:
    case GLU_INVALID_ENUM:
        text = "invalid enumerant";
        break;
    case GL_INVALID_VALUE:
    case GLU_INVALID_VALUE:
        text = "invalid value";
        break;
    case GL_INVALID_OPERATION:
        text = "invalid operation";
        break;
    case GL_STACK_OVERFLOW:
        text = "stack overflow";
        break;
    case GL_STACK_UNDERFLOW:
        text = "stack underflow";
        break;
    case GL_OUT_OF_MEMORY:
    case GLU_OUT_OF_MEMORY:
        text = "out of memory";
        break;
    default:
        break;
    }
    return reinterpret_cast<const GLubyte*>(text);
}

} // extern "C"
