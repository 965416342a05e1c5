#pragma once

#include <GL/gl.h>

namespace webgl {

// Notes the size of a level just defined in the texture bound to GL_TEXTURE_2D, for
// glGetTexLevelParameteriv and glGetTexImage.
void rememberBoundTextureLevel(GLint level, GLsizei width, GLsizei height, GLenum internalFormat);

} // namespace webgl
