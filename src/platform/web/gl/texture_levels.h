#pragma once

#include <GL/gl.h>
#include <map>
#include <optional>
#include <utility>

namespace webgl {

// WebGL cannot say how large a texture level is; this remembers what each definition made.
class TextureLevels {
public:
    struct Level {
        GLsizei width;
        GLsizei height;
        GLenum internalFormat;
        // Found complete as a framebuffer's attachment once: reading it back needs no check.
        bool readable = false;
    };

    void define(GLuint texture, GLint level, const Level& size);
    void markReadable(GLuint texture, GLint level);
    void forget(GLuint texture);
    std::optional<Level> find(GLuint texture, GLint level) const;

private:
    std::map<std::pair<GLuint, GLint>, Level> levels;
};

// WebGL answers a texture parameter only through a round trip that waits for all drawing
// issued before; the filters and wraps set are remembered instead, per texture name.
class TextureParameters {
public:
    // False for a name or value WebGL 1 refuses, which is then not remembered.
    bool set(GLuint texture, GLenum name, GLint value);
    void forget(GLuint texture);
    // The value set, or OpenGL's default for a texture that set none; nothing for a parameter
    // not remembered here.
    std::optional<GLint> find(GLuint texture, GLenum name) const;

private:
    std::map<std::pair<GLuint, GLenum>, GLint> values;
};

// Rows of a client image as the pack or unpack state lays them out: the row length in texels
// when not zero (else the width), each row starting at a multiple of the alignment.
std::size_t rowStride(GLsizei width, GLint rowLength, int bytesPerTexel, GLint alignment);
// Rows of RGB or RGBA texels into the other of the two: alpha dropped, or 255 added.
void convertRgbRows(const GLubyte* from, std::size_t fromStride, int fromBytes, GLubyte* to,
                    std::size_t toStride, int toBytes, GLsizei width, GLsizei rows);
// Rows of rowBytes from one layout into another.
void copyRows(const GLubyte* from, std::size_t fromStride, GLubyte* to, std::size_t toStride,
              std::size_t rowBytes, GLsizei rows);

} // namespace webgl
