#include "common/jpeg_writer.h"

#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>

std::vector<std::uint8_t> encodeJpeg(std::span<const std::uint8_t> pixels, int width, int height,
                                     int components, int quality, JpegScan scan) {
    jpeg_compress_struct compressor{};
    jpeg_error_mgr errors{};
    compressor.err = jpeg_std_error(&errors);
    jpeg_create_compress(&compressor);

    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&compressor, &buffer, &size);
    compressor.image_width = static_cast<JDIMENSION>(width);
    compressor.image_height = static_cast<JDIMENSION>(height);
    compressor.input_components = components;
    compressor.in_color_space = components == 1   ? JCS_GRAYSCALE
                                : components == 4 ? JCS_CMYK
                                                  : JCS_RGB;
    jpeg_set_defaults(&compressor);
    jpeg_set_quality(&compressor, quality, TRUE);
    for (int component = 0; component < compressor.num_components; ++component) {
        compressor.comp_info[component].h_samp_factor = 1;
        compressor.comp_info[component].v_samp_factor = 1;
    }
    compressor.dct_method = JDCT_ISLOW;
    if (scan == JpegScan::progressive) {
        jpeg_simple_progression(&compressor);
    }
    jpeg_start_compress(&compressor, TRUE);
    const std::size_t stride = static_cast<std::size_t>(width) * components;
    while (compressor.next_scanline < compressor.image_height) {
        // libjpeg takes rows as non-const pointers but only reads them.
        auto row = const_cast<JSAMPROW>(pixels.data() + compressor.next_scanline * stride);
        jpeg_write_scanlines(&compressor, &row, 1);
    }
    jpeg_finish_compress(&compressor);
    std::vector<std::uint8_t> bytes(buffer, buffer + size);
    jpeg_destroy_compress(&compressor);
    std::free(buffer);
    return bytes;
}
