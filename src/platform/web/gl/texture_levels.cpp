#include "platform/web/gl/texture_levels.h"

#include <cstring>

namespace webgl {

void TextureLevels::define(GLuint texture, GLint level, const Level& size) {
    levels[{texture, level}] = size;
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
