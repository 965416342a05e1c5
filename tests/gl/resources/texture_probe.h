#pragma once

#include <GL/gl.h>
#include <cstdint>
#include <vector>

// What a texture object holds, read back from the current context.
struct TextureLevel {
    GLint width = 0;
    GLint height = 0;
    std::vector<std::uint8_t> rgb; // rows bottom-up as OpenGL stores them: row 0 is t = 0
};

TextureLevel readTextureLevel(GLuint name, GLint level);
GLint textureParameter(GLuint name, GLenum parameter);
GLint levelParameter(GLuint name, GLint level, GLenum parameter);
// Every name in 1 to upTo that the context knows as a texture.
std::vector<GLuint> existingTextureNames(GLuint upTo);
