// readJpegFile where libjpeg is not available (the browser build): the same contract, decoded
// with stb_image's baseline and progressive JPEG decoder.
#include "resources/jpeg_reader.h"
#include "resources/portable_memory.h"
#include "resources/resource_error.h"

#include <cstdio>
#include <cstring>
#include <vector>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_JPEG
#define STBI_NO_STDIO
#define STBI_FAILURE_USERMSG
#include <stb_image.h>

namespace {

bool readWholeFile(std::FILE* file, std::vector<unsigned char>& bytes) {
    unsigned char buffer[65536];
    std::size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        bytes.insert(bytes.end(), buffer, buffer + count);
    }
    return std::ferror(file) == 0;
}

[[noreturn]] void failUnusable(const std::string& fileName, const std::string& reason) {
    failResource(fileName, "is not a usable picture: " + reason);
}

// The decoder pads a picture whose data stop early; a truncated picture file is a broken one.
bool endsWithEndOfImage(const std::vector<unsigned char>& bytes) {
    const std::size_t size = bytes.size();
    return size >= 2 && bytes[size - 2] == 0xFF && bytes[size - 1] == 0xD9;
}

void checkHeader(const std::string& fileName, const std::vector<unsigned char>& bytes) {
    int width = 0;
    int height = 0;
    int components = 0;
    if (!stbi_info_from_memory(bytes.data(), static_cast<int>(bytes.size()), &width, &height,
                               &components)) {
        failResource(fileName, std::string("is not a valid picture: ") + stbi_failure_reason());
    }
    if (components != 1 && components != 3) {
        failUnusable(fileName, "it has " + std::to_string(components) +
                                   " colour components; only colour and grayscale JPEG "
                                   "pictures are supported");
    }
    if (width > maximumPictureSide || height > maximumPictureSide) {
        failUnusable(fileName, "it is " + std::to_string(width) + " x " + std::to_string(height) +
                                   " pixels; at most " + std::to_string(maximumPictureSide) +
                                   " x " + std::to_string(maximumPictureSide) + " are supported");
    }
    if (!endsWithEndOfImage(bytes)) {
        failResource(fileName, "is not a valid picture: its data end before the picture does");
    }
}

} // namespace

std::unique_ptr<DecodedImage> readJpegFile(const std::string& fileName) {
    std::FILE* file = openResourceFile(fileName);
    if (file == nullptr) {
        return nullptr;
    }
    std::vector<unsigned char> bytes;
    const bool read = readWholeFile(file, bytes);
    std::fclose(file);
    if (!read) {
        failResource(fileName, "cannot be read");
    }
    checkHeader(fileName, bytes);
    int width = 0;
    int height = 0;
    int components = 0;
    stbi_uc* pixels = stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &width,
                                            &height, &components, 3);
    if (pixels == nullptr) {
        failResource(fileName, std::string("is not a valid picture: ") + stbi_failure_reason());
    }
    auto image = std::make_unique<DecodedImage>();
    image->width = width;
    image->height = height;
    image->rowStride = 3 * width;
    const std::size_t size = static_cast<std::size_t>(image->rowStride) * height;
    image->pixels = uninitialisedArray<std::uint8_t>(size);
    std::memcpy(image->pixels.get(), pixels, size);
    stbi_image_free(pixels);
    return image;
}
