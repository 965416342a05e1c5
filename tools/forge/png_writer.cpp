#include "png_writer.h"

#include <png.h>

namespace forge {

bool writePng(const std::string& path, const Image& image) {
    std::vector<unsigned char> rgb = image.toRgb8();
    png_image description{};
    description.version = PNG_IMAGE_VERSION;
    description.width = static_cast<png_uint_32>(image.width());
    description.height = static_cast<png_uint_32>(image.height());
    description.format = PNG_FORMAT_RGB;
    int written = png_image_write_to_file(&description, path.c_str(), 0, rgb.data(), 0, nullptr);
    png_image_free(&description);
    return written != 0;
}

} // namespace forge
