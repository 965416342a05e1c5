#include "resources/texture_bank.h"

#include "platform/data_directory.h"
#include "platform/startup_probe.h"
#include "resources/jpeg_reader.h"
#include "resources/resource_error.h"

#include <GL/glu.h>

TextureBank textureBank{};

namespace {

void setLinearFilters(GLuint name) {
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
}

// Every user of these overwrites them before reading, so their texels are left undefined.
void createEmptyTarget(GLuint name, GLsizei side) {
    glBindTexture(GL_TEXTURE_2D, name);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, side, side, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
}

GLint buildMipmaps(const DecodedImage& image) {
    const platform::StartupProbe probe(platform::StartupStep::mipmapBuild);
    return gluBuild2DMipmaps(GL_TEXTURE_2D, 3, image.width, image.height, GL_RGB, GL_UNSIGNED_BYTE,
                             image.pixels.get());
}

void uploadWithMipmaps(const std::string& fileName, const DecodedImage& image) {
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    // Rows are packed without gaps, which the default alignment of 4 only suits when the row
    // length is a multiple of 4.
    glPixelStorei(GL_UNPACK_ALIGNMENT, image.rowStride % 4 == 0 ? 4 : 1);
    const GLint result = buildMipmaps(image);
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    if (result != 0) {
        failResource(fileName, std::string("cannot become a texture: ") +
                                   reinterpret_cast<const char*>(gluErrorString(result)));
    }
}

} // namespace

void loadPicture(TextureBank& bank, const std::string& fileName, int slot) {
    const std::unique_ptr<DecodedImage> image = readJpegFile(fileName);
    if (!image) {
        failMissingFile(fileName);
    }
    GLuint& name = bank[static_cast<std::size_t>(slot)];
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    uploadWithMipmaps(fileName, *image);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
}

void loadTextureBank() {
    glGenTextures(textureSlotCount, textureBank.data());
    for (GLuint name : textureBank) {
        setLinearFilters(name);
    }
    for (const EmptyTarget& target : emptyTargets) {
        createEmptyTarget(textureBank[static_cast<std::size_t>(target.slot)], target.side);
    }
    for (const PictureFile& picture : pictureFiles) {
        loadPicture(textureBank, platform::dataFilePath(picture.fileName), picture.slot);
    }
}
