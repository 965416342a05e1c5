#include "rgba_into_rgb_run.h"

#include "fixed_function_scenario.h"

#include <GL/gl.h>
#include <vector>

void recordRgbaIntoRgb(NumberSets& sets) {
    const RgbaIntoRgb upload = rgbaIntoRgb();
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, RgbaIntoRgb::side, RgbaIntoRgb::side, 0, GL_RGB,
                 GL_UNSIGNED_BYTE, upload.baseRgb.data());
    glPixelStorei(GL_UNPACK_ROW_LENGTH, RgbaIntoRgb::partRowLength);
    glTexSubImage2D(GL_TEXTURE_2D, 0, RgbaIntoRgb::partX, RgbaIntoRgb::partY,
                    RgbaIntoRgb::partWidth, RgbaIntoRgb::partHeight, GL_RGBA, GL_UNSIGNED_BYTE,
                    upload.rgbaPart.data());
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    std::vector<GLubyte> texels(upload.baseRgb.size());
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    sets[RgbaIntoRgb::name] = {texels.begin(), texels.end()};
    glDeleteTextures(1, &texture);
}
