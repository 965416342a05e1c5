#include "picture_readback.h"

#include <GL/gl.h>

void readPicture(std::vector<std::uint8_t>& pixels) {
    pixels.resize(static_cast<std::size_t>(pictureWidth) * pictureHeight * 3);
    GLint alignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, pictureWidth, pictureHeight, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    glPixelStorei(GL_PACK_ALIGNMENT, alignment);
}
