#include "jpeg_writer.h"

#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>

namespace forge {

std::vector<unsigned char> encodeJpeg(const Image& image, int quality) {
    std::vector<unsigned char> rgb = image.toRgb8();
    jpeg_compress_struct compressor{};
    jpeg_error_mgr errors{};
    compressor.err = jpeg_std_error(&errors);
    jpeg_create_compress(&compressor);

    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&compressor, &buffer, &size);
    compressor.image_width = static_cast<JDIMENSION>(image.width());
    compressor.image_height = static_cast<JDIMENSION>(image.height());
    compressor.input_components = 3;
    compressor.in_color_space = JCS_RGB;
    jpeg_set_defaults(&compressor);
    jpeg_set_quality(&compressor, quality, TRUE);
    // Full-resolution chroma: thin coloured lines on black smear badly at 4:2:0.
    for (int component = 0; component < 3; ++component) {
        compressor.comp_info[component].h_samp_factor = 1;
        compressor.comp_info[component].v_samp_factor = 1;
    }
    compressor.dct_method = JDCT_ISLOW;
    jpeg_start_compress(&compressor, TRUE);
    std::size_t stride = static_cast<std::size_t>(image.width()) * 3;
    while (compressor.next_scanline < compressor.image_height) {
        JSAMPROW row = rgb.data() + compressor.next_scanline * stride;
        jpeg_write_scanlines(&compressor, &row, 1);
    }
    jpeg_finish_compress(&compressor);
    std::vector<unsigned char> bytes(buffer, buffer + size);
    jpeg_destroy_compress(&compressor);
    std::free(buffer);
    return bytes;
}

} // namespace forge
