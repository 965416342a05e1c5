#include "common/png_writer.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <png.h>
#include <unistd.h>
#include <vector>

namespace {

// Plain data only: libpng leaves encode() with longjmp, which skips destructors.
struct PngJob {
    std::FILE* file;
    png_bytep* rows;
    int width;
    int height;
    PngPurpose purpose;
    char message[160];
};

[[noreturn]] void recordError(png_structp png, png_const_charp message) {
    auto* job = static_cast<PngJob*>(png_get_error_ptr(png));
    std::snprintf(job->message, sizeof job->message, "%s", message);
    png_longjmp(png, 1);
}

void ignoreWarning(png_structp, png_const_charp) {}

bool encode(PngJob& job) {
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, &job, recordError, ignoreWarning);
    if (png == nullptr) {
        std::snprintf(job.message, sizeof job.message, "out of memory");
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, job.file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(job.width),
                 static_cast<png_uint_32>(job.height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (job.purpose == PngPurpose::frame) {
        png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
        png_set_compression_level(png, 1);
    } else {
        png_set_sRGB(png, info, PNG_sRGB_INTENT_PERCEPTUAL);
    }
    png_write_info(png, info);
    png_write_image(png, job.rows);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

bool writePngFile(const std::string& path, const std::uint8_t* pixels, int width, int height,
                  PngRowOrder rowOrder, PngPurpose purpose, std::string& reason) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        reason = std::strerror(errno);
        return false;
    }
    const std::size_t stride = static_cast<std::size_t>(width) * 3;
    std::vector<png_bytep> rows(static_cast<std::size_t>(height));
    for (std::size_t row = 0; row < rows.size(); ++row) {
        const std::size_t stored = rowOrder == PngRowOrder::topFirst ? row : rows.size() - 1 - row;
        rows[row] = const_cast<png_bytep>(pixels + stored * stride);
    }
    PngJob job{file, rows.data(), width, height, purpose, {}};
    const bool encoded = encode(job);
    const int encodeErrno = errno;
    const bool writeFailed = std::ferror(file) != 0;
    const bool closed = std::fclose(file) == 0;
    if (encoded && !writeFailed && closed) {
        return true;
    }
    // The system's reason says more than libpng's "Write Error".
    reason = writeFailed ? std::strerror(encodeErrno)
             : encoded   ? std::strerror(errno)
                         : job.message;
    ::unlink(path.c_str());
    return false;
}
