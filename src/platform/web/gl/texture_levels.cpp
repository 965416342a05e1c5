#include "platform/web/gl/texture_levels.h"

#include <cstring>

namespace webgl {

void TextureLevels::define(GLuint texture, GLint level, const Level& size) {
    levels[{texture, level}] = size;
}

void TextureLevels::markReadable(GLuint texture, GLint level) {
    const auto found = levels.find({texture, level});
    if (found != levels.end()) {
        found->second.readable = true;
    }
}

void TextureLevels::forget(GLuint texture) {
    std::erase_if(levels, [texture](const auto& entry) { return entry.first.first == texture; });
}

std::optional<TextureLevels::Level> TextureLevels::find(GLuint texture, GLint level) const {
    const auto found = levels.find({texture, level});
    if (found == levels.end()) {
        return std::nullopt;
    }
    return found->second;
}

namespace {

bool isFilter(GLint value, bool mipmapped) {
    switch (value) {
    case GL_NEAREST:
    case GL_LINEAR:
        return true;
    case GL_NEAREST_MIPMAP_NEAREST:
    case GL_LINEAR_MIPMAP_NEAREST:
    case GL_NEAREST_MIPMAP_LINEAR:
    case GL_LINEAR_MIPMAP_LINEAR:
        return mipmapped;
    default:
        return false;
    }
}

// GL_MIRRORED_REPEAT, which WebGL 1 has and OpenGL 1.1's header does not name.
constexpr GLint mirroredRepeat = 0x8370;

bool isWrap(GLint value) {
    return value == GL_REPEAT || value == GL_CLAMP_TO_EDGE || value == mirroredRepeat;
}

std::optional<GLint> defaultParameter(GLenum name) {
    switch (name) {
    case GL_TEXTURE_MIN_FILTER:
        return GL_NEAREST_MIPMAP_LINEAR;
    case GL_TEXTURE_MAG_FILTER:
        return GL_LINEAR;
    case GL_TEXTURE_WRAP_S:
    case GL_TEXTURE_WRAP_T:
        return GL_REPEAT;
    default:
        return std::nullopt;
    }
}

} // namespace

bool TextureParameters::set(GLuint texture, GLenum name, GLint value) {
    const bool valid = (name == GL_TEXTURE_MIN_FILTER && isFilter(value, true)) ||
                       (name == GL_TEXTURE_MAG_FILTER && isFilter(value, false)) ||
                       ((name == GL_TEXTURE_WRAP_S || name == GL_TEXTURE_WRAP_T) && isWrap(value));
    if (valid) {
        values[{texture, name}] = value;
    }
    return valid;
}

void TextureParameters::forget(GLuint texture) {
    std::erase_if(values, [texture](const auto& entry) { return entry.first.first == texture; });
}

std::optional<GLint> TextureParameters::find(GLuint texture, GLenum name) const {
    const auto found = values.find({texture, name});
    return found != values.end() ? found->second : defaultParameter(name);
}

std::size_t rowStride(GLsizei width, GLint rowLength, int bytesPerTexel, GLint alignment) {
    const auto texels = static_cast<std::size_t>(rowLength > 0 ? rowLength : width);
    const auto bytes = texels * static_cast<std::size_t>(bytesPerTexel);
    const auto align = static_cast<std::size_t>(alignment > 0 ? alignment : 1);
    return (bytes + align - 1) / align * align;
}

void copyRows(const GLubyte* from, std::size_t fromStride, GLubyte* to, std::size_t toStride,
              std::size_t rowBytes, GLsizei rows) {
    for (GLsizei row = 0; row < rows; ++row) {
        std::memcpy(to + static_cast<std::size_t>(row) * toStride,
                    from + static_cast<std::size_t>(row) * fromStride, rowBytes);
    }
}

void convertRgbRows(const GLubyte* from, std::size_t fromStride, int fromBytes, GLubyte* to,
                    std::size_t toStride, int toBytes, GLsizei width, GLsizei rows) {
    for (GLsizei row = 0; row < rows; ++row) {
        const GLubyte* source = from + static_cast<std::size_t>(row) * fromStride;
        GLubyte* target = to + static_cast<std::size_t>(row) * toStride;
        for (GLsizei x = 0; x < width; ++x, source += fromBytes, target += toBytes) {
            target[0] = source[0];
            target[1] = source[1];
            target[2] = source[2];
            if (toBytes == 4) {
                target[3] = 255;
            }
        }
    }
}

} // namespace webgl
