#include "texture_probe.h"

GLint levelParameter(GLuint name, GLint level, GLenum parameter) {
    GLint value = 0;
    glBindTexture(GL_TEXTURE_2D, name);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, parameter, &value);
    return value;
}

GLint textureParameter(GLuint name, GLenum parameter) {
    GLint value = 0;
    glBindTexture(GL_TEXTURE_2D, name);
    glGetTexParameteriv(GL_TEXTURE_2D, parameter, &value);
    return value;
}

TextureLevel readTextureLevel(GLuint name, GLint level) {
    TextureLevel result;
    result.width = levelParameter(name, level, GL_TEXTURE_WIDTH);
    result.height = levelParameter(name, level, GL_TEXTURE_HEIGHT);
    result.rgb.resize(static_cast<std::size_t>(result.width * result.height * 3));
    GLint packAlignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &packAlignment);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, level, GL_RGB, GL_UNSIGNED_BYTE, result.rgb.data());
    glPixelStorei(GL_PACK_ALIGNMENT, packAlignment);
    return result;
}

std::vector<GLuint> existingTextureNames(GLuint upTo) {
    std::vector<GLuint> names;
    for (GLuint name = 1; name <= upTo; ++name) {
        if (glIsTexture(name) == GL_TRUE) {
            names.push_back(name);
        }
    }
    return names;
}
