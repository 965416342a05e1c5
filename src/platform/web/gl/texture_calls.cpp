// Texture calls that WebGL 1 has only in part: levels it cannot report, parameters it reports
// only after waiting for the drawing, row lengths it does not know, pixels of another format
// than the texture's, which it refuses, and reading a texture back, which it can only do through
// a framebuffer.
#include "platform/web/gl/texture_calls.h"

#include "platform/web/gl/fixed_function_instance.h"
#include "platform/web/gl/texture_levels.h"

#include <cstdio>
#include <emscripten/html5.h>
#include <optional>
#include <vector>
#include <webgl/webgl1.h>

namespace {

struct RowLengths {
    GLint pack = 0;
    GLint unpack = 0;
};

RowLengths rowLengths;
webgl::TextureLevels textureLevels;
webgl::TextureParameters textureParameters;

// The framebuffer that textures are attached to for reading back, made once in each context.
struct ReadFramebuffer {
    EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = 0;
    GLuint name = 0;
};
ReadFramebuffer readFramebuffer;

GLint integerState(GLenum name) {
    GLint value = 0;
    emscripten_glGetIntegerv(name, &value);
    return value;
}

GLuint boundTexture() {
    return static_cast<GLuint>(integerState(GL_TEXTURE_BINDING_2D));
}

int bytesPerTexel(GLenum format) {
    switch (format) {
    case GL_RGBA:
        return 4;
    case GL_RGB:
        return 3;
    case GL_LUMINANCE_ALPHA:
        return 2;
    case GL_LUMINANCE:
    case GL_ALPHA:
        return 1;
    default:
        return 0;
    }
}

// Rows picked out of a longer row length into the layout WebGL reads; the caller's pixels
// themselves when there is no row length to honour.
const void* rowsForWebGl(GLsizei width, GLsizei height, GLenum format, GLenum type,
                         const void* pixels, std::vector<GLubyte>& scratch) {
    const int texelBytes = bytesPerTexel(format);
    if (rowLengths.unpack == 0 || pixels == nullptr || type != GL_UNSIGNED_BYTE ||
        texelBytes == 0) {
        return pixels;
    }
    const GLint alignment = integerState(GL_UNPACK_ALIGNMENT);
    const std::size_t toStride = webgl::rowStride(width, 0, texelBytes, alignment);
    scratch.resize(toStride * static_cast<std::size_t>(height));
    webgl::copyRows(static_cast<const GLubyte*>(pixels),
                    webgl::rowStride(width, rowLengths.unpack, texelBytes, alignment),
                    scratch.data(), toStride,
                    static_cast<std::size_t>(width) * static_cast<std::size_t>(texelBytes), height);
    return scratch.data();
}

// RGBA pixels for an RGB texture lose their alpha, RGB pixels for an RGBA one gain an opaque
// alpha, as OpenGL converts them; WebGL takes only the texture's own format.
bool convertible(GLenum from, GLenum to, GLenum type) {
    const bool rgbPair = (from == GL_RGBA && to == GL_RGB) || (from == GL_RGB && to == GL_RGBA);
    return rgbPair && type == GL_UNSIGNED_BYTE;
}

const void* convertedForWebGl(GLsizei width, GLsizei height, GLenum from, GLenum to,
                              const void* pixels, std::vector<GLubyte>& scratch) {
    const GLint alignment = integerState(GL_UNPACK_ALIGNMENT);
    const int fromBytes = bytesPerTexel(from);
    const int toBytes = bytesPerTexel(to);
    const std::size_t fromStride = webgl::rowStride(width, rowLengths.unpack, fromBytes, alignment);
    const std::size_t toStride = webgl::rowStride(width, 0, toBytes, alignment);
    scratch.resize(toStride * static_cast<std::size_t>(height));
    webgl::convertRgbRows(static_cast<const GLubyte*>(pixels), fromStride, fromBytes,
                          scratch.data(), toStride, toBytes, width, height);
    return scratch.data();
}

GLuint framebufferForReading() {
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = emscripten_webgl_get_current_context();
    if (readFramebuffer.context != context) {
        // One of a context that is gone needs no deleting.
        readFramebuffer.context = context;
        emscripten_glGenFramebuffers(1, &readFramebuffer.name);
    }
    return readFramebuffer.name;
}

// Level 0 of the bound texture as RGBA rows, read through a framebuffer kept for the purpose.
// Whether it can be read is asked once for each definition of the level: the answer waits for
// the drawing, as the reading itself must.
bool readLevelZero(const webgl::TextureLevels::Level& size, std::vector<GLubyte>& rgba) {
    const auto previousFramebuffer = static_cast<GLuint>(integerState(GL_FRAMEBUFFER_BINDING));
    const GLint previousAlignment = integerState(GL_PACK_ALIGNMENT);
    const GLuint texture = boundTexture();
    emscripten_glBindFramebuffer(GL_FRAMEBUFFER, framebufferForReading());
    emscripten_glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture,
                                      0);
    const bool complete = size.readable || emscripten_glCheckFramebufferStatus(GL_FRAMEBUFFER) ==
                                               GL_FRAMEBUFFER_COMPLETE;
    if (complete) {
        textureLevels.markReadable(texture, 0);
        rgba.resize(static_cast<std::size_t>(size.width) * static_cast<std::size_t>(size.height) *
                    4);
        // RGBA rows are whole multiples of 4 bytes, so they come back without gaps.
        emscripten_glPixelStorei(GL_PACK_ALIGNMENT, 4);
        emscripten_glReadPixels(0, 0, size.width, size.height, GL_RGBA, GL_UNSIGNED_BYTE,
                                rgba.data());
        emscripten_glPixelStorei(GL_PACK_ALIGNMENT, previousAlignment);
    }
    // Attached, the texture could not be sampled while this framebuffer is bound elsewhere.
    emscripten_glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, 0, 0);
    emscripten_glBindFramebuffer(GL_FRAMEBUFFER, previousFramebuffer);
    return complete;
}

void packRows(const std::vector<GLubyte>& rgba, const webgl::TextureLevels::Level& size,
              GLenum format, GLubyte* pixels) {
    const int texelBytes = bytesPerTexel(format);
    const std::size_t stride =
        webgl::rowStride(size.width, rowLengths.pack, texelBytes, integerState(GL_PACK_ALIGNMENT));
    if (texelBytes == 4) {
        webgl::copyRows(rgba.data(), static_cast<std::size_t>(size.width) * 4, pixels, stride,
                        static_cast<std::size_t>(size.width) * 4, size.height);
        return;
    }
    for (GLsizei y = 0; y < size.height; ++y) {
        const GLubyte* from = rgba.data() + static_cast<std::size_t>(y * size.width) * 4;
        GLubyte* to = pixels + static_cast<std::size_t>(y) * stride;
        for (GLsizei x = 0; x < size.width; ++x) {
            for (int c = 0; c < texelBytes; ++c) {
                to[x * texelBytes + c] = from[x * 4 + c];
            }
        }
    }
}

} // namespace

namespace webgl {

void rememberBoundTextureLevel(GLint level, GLsizei width, GLsizei height, GLenum internalFormat) {
    textureLevels.define(boundTexture(), level, {width, height, internalFormat});
}

} // namespace webgl

extern "C" {

void glPixelStorei(GLenum name, GLint value) {
    if (name == GL_PACK_ROW_LENGTH) {
        rowLengths.pack = value;
    } else if (name == GL_UNPACK_ROW_LENGTH) {
        rowLengths.unpack = value;
    } else {
        emscripten_glPixelStorei(name, value);
    }
}

void glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                  GLint border, GLenum format, GLenum type, const void* pixels) {
    std::vector<GLubyte> scratch;
    emscripten_glTexImage2D(target, level, internalFormat, width, height, border, format, type,
                            rowsForWebGl(width, height, format, type, pixels, scratch));
    webgl::rememberBoundTextureLevel(level, width, height, static_cast<GLenum>(internalFormat));
}

void glTexSubImage2D(GLenum target, GLint level, GLint x, GLint y, GLsizei width, GLsizei height,
                     GLenum format, GLenum type, const void* pixels) {
    std::vector<GLubyte> scratch;
    const auto defined = textureLevels.find(boundTexture(), level);
    if (defined && defined->internalFormat != format && pixels != nullptr) {
        if (!convertible(format, defined->internalFormat, type)) {
            webgl::fixedFunction().recordError(GL_INVALID_OPERATION);
            std::fprintf(stderr,
                         "glTexSubImage2D: pixels of format 0x%x cannot go into a texture "
                         "of format 0x%x here\n",
                         format, defined->internalFormat);
            return;
        }
        emscripten_glTexSubImage2D(
            target, level, x, y, width, height, defined->internalFormat, type,
            convertedForWebGl(width, height, format, defined->internalFormat, pixels, scratch));
        return;
    }
    emscripten_glTexSubImage2D(target, level, x, y, width, height, format, type,
                               rowsForWebGl(width, height, format, type, pixels, scratch));
}

void glCopyTexImage2D(GLenum target, GLint level, GLenum internalFormat, GLint x, GLint y,
                      GLsizei width, GLsizei height, GLint border) {
    emscripten_glCopyTexImage2D(target, level, internalFormat, x, y, width, height, border);
    webgl::rememberBoundTextureLevel(level, width, height, internalFormat);
}

// A name the browser hands out again, in this context or a new one, starts with nothing defined.
void glGenTextures(GLsizei count, GLuint* textures) {
    emscripten_glGenTextures(count, textures);
    for (GLsizei i = 0; i < count; ++i) {
        textureLevels.forget(textures[i]);
        textureParameters.forget(textures[i]);
    }
}

void glDeleteTextures(GLsizei count, const GLuint* textures) {
    for (GLsizei i = 0; i < count; ++i) {
        textureLevels.forget(textures[i]);
        textureParameters.forget(textures[i]);
    }
    emscripten_glDeleteTextures(count, textures);
}

void glTexParameteri(GLenum target, GLenum name, GLint value) {
    emscripten_glTexParameteri(target, name, value);
    textureParameters.set(boundTexture(), name, value);
}

// Filters and wraps are whole enums, so the float form sets them as the integer one does.
void glTexParameterf(GLenum target, GLenum name, GLfloat value) {
    emscripten_glTexParameterf(target, name, value);
    textureParameters.set(boundTexture(), name, static_cast<GLint>(value));
}

// Filters and wraps as set; anything else as WebGL answers it.
void glGetTexParameteriv(GLenum target, GLenum name, GLint* value) {
    const std::optional<GLint> known = textureParameters.find(boundTexture(), name);
    if (known) {
        *value = *known;
        return;
    }
    emscripten_glGetTexParameteriv(target, name, value);
}

// Width, height and internal format; an undefined level reports zeros.
void glGetTexLevelParameteriv(GLenum /*target*/, GLint level, GLenum name, GLint* value) {
    const auto size = textureLevels.find(boundTexture(), level);
    switch (name) {
    case GL_TEXTURE_WIDTH:
        *value = size ? size->width : 0;
        break;
    case GL_TEXTURE_HEIGHT:
        *value = size ? size->height : 0;
        break;
    case GL_TEXTURE_INTERNAL_FORMAT:
        *value = size ? static_cast<GLint>(size->internalFormat) : 0;
        break;
    default:
        webgl::fixedFunction().recordError(GL_INVALID_ENUM);
    }
}

// Level 0 only, in RGB or RGBA bytes: WebGL 1 attaches no other level to a framebuffer.
void glGetTexImage(GLenum /*target*/, GLint level, GLenum format, GLenum type, void* pixels) {
    if (level != 0) {
        webgl::fixedFunction().recordError(GL_INVALID_VALUE);
        return;
    }
    if ((format != GL_RGBA && format != GL_RGB) || type != GL_UNSIGNED_BYTE) {
        webgl::fixedFunction().recordError(GL_INVALID_ENUM);
        return;
    }
    const auto size = textureLevels.find(boundTexture(), 0);
    std::vector<GLubyte> rgba;
    if (!size || !readLevelZero(*size, rgba)) {
        webgl::fixedFunction().recordError(GL_INVALID_OPERATION);
        return;
    }
    packRows(rgba, *size, format, static_cast<GLubyte*>(pixels));
}

} // extern "C"
