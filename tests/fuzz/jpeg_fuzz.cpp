#include "resources/jpeg_reader.h"
#include "resources/libjpeg_decoding.h"

#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// Fatal decoder errors jump back to the harness instead of ending the process.
struct JumpingErrorManager {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] void jumpBack(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JumpingErrorManager*>(info->err)->jump, 1);
}

void stayQuiet(j_common_ptr, int) {}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Held outside this frame, so the jump back leaves them well defined.
    static JumpingErrorManager errors;
    static jpeg_decompress_struct decompressor;
    DecodedImage* image = new DecodedImage;
    decompressor.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = jumpBack;
    errors.manager.emit_message = stayQuiet;
    jpeg_create_decompress(&decompressor);
    if (setjmp(errors.jump) == 0) {
        jpeg_mem_src(&decompressor, data, static_cast<unsigned long>(size));
        if (decodeJpeg(decompressor, *image)) {
            // A finished picture has every row it declared, and the pixels are all readable.
            const std::size_t bytes = static_cast<std::size_t>(image->rowStride) *
                                      static_cast<std::size_t>(image->height);
            if (image->rowStride != image->width * 3 || image->width > maximumPictureSide ||
                image->height > maximumPictureSide) {
                std::abort();
            }
            unsigned sum = 0;
            for (std::size_t i = 0; i < bytes; ++i) {
                sum += image->pixels[i];
            }
            volatile unsigned sink = sum;
            static_cast<void>(sink);
        }
    }
    jpeg_destroy_decompress(&decompressor);
    delete image;
    return 0;
}
