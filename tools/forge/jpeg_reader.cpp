#include "jpeg_reader.h"

#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>
#include <vector>

namespace forge {

namespace {

struct RecoveringErrors {
    jpeg_error_mgr manager;
    std::jmp_buf recovery;
};

[[noreturn]] void recover(j_common_ptr info) {
    std::longjmp(reinterpret_cast<RecoveringErrors*>(info->err)->recovery, 1);
}

// Kept apart from readJpegImage so no C++ object lives across the longjmp.
bool decode(std::FILE* file, std::vector<unsigned char>& rgb, int& width, int& height) {
    jpeg_decompress_struct decompressor{};
    RecoveringErrors errors{};
    decompressor.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = recover;
    if (setjmp(errors.recovery) != 0) {
        jpeg_destroy_decompress(&decompressor);
        return false;
    }
    jpeg_create_decompress(&decompressor);
    jpeg_stdio_src(&decompressor, file);
    jpeg_read_header(&decompressor, TRUE);
    decompressor.out_color_space = JCS_RGB;
    jpeg_start_decompress(&decompressor);
    width = static_cast<int>(decompressor.output_width);
    height = static_cast<int>(decompressor.output_height);
    rgb.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
    while (decompressor.output_scanline < decompressor.output_height) {
        JSAMPROW row = rgb.data() + static_cast<std::size_t>(decompressor.output_scanline) *
                                        static_cast<std::size_t>(width) * 3;
        jpeg_read_scanlines(&decompressor, &row, 1);
    }
    jpeg_finish_decompress(&decompressor);
    jpeg_destroy_decompress(&decompressor);
    return true;
}

} // namespace

std::optional<Image> readJpegImage(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return std::nullopt;
    }
    std::vector<unsigned char> rgb;
    int width = 0;
    int height = 0;
    bool decoded = decode(file, rgb, width, height);
    std::fclose(file);
    if (!decoded) {
        return std::nullopt;
    }
    Image image(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const unsigned char* pixel = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
            image.at(x, y) = Colour{pixel[0] / 255.0f, pixel[1] / 255.0f, pixel[2] / 255.0f};
        }
    }
    return image;
}

} // namespace forge
