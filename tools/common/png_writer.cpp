#include "common/png_writer.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <png.h>
#include <unistd.h>
#include <vector>
#include <zlib.h>

namespace {

// Plain data only: libpng leaves encodePicture() with longjmp, which skips destructors.
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

bool encodePicture(PngJob& job) {
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
    png_set_sRGB(png, info, PNG_sRGB_INTENT_PERCEPTUAL);
    png_write_info(png, info);
    png_write_image(png, job.rows);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

constexpr std::array<std::uint8_t, 8> pngSignature = {137, 80, 78, 71, 13, 10, 26, 10};
constexpr std::uint8_t subFilter = 1;
constexpr int bytesPerPixel = 3;

void putBigEndian(std::vector<std::uint8_t>& bytes, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        bytes.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

// Length, type, data, and the CRC of type and data.
void writeChunk(std::FILE* file, const char* type, const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> head;
    putBigEndian(head, static_cast<std::uint32_t>(size));
    head.insert(head.end(), type, type + 4);
    uLong crc = crc32(0L, head.data() + 4, 4);
    // crc32 takes a null buffer as a request for its starting value.
    if (size > 0) {
        crc = crc32(crc, data, static_cast<uInt>(size));
    }
    std::vector<std::uint8_t> tail;
    putBigEndian(tail, static_cast<std::uint32_t>(crc));
    std::fwrite(head.data(), 1, head.size(), file);
    std::fwrite(data, 1, size, file);
    std::fwrite(tail.data(), 1, tail.size(), file);
}

struct Bytes {
    std::unique_ptr<std::uint8_t[]> data;
    std::size_t size = 0;
};

Bytes uninitialisedBytes(std::size_t size) {
    return {std::make_unique_for_overwrite<std::uint8_t[]>(size), size};
}

// Each row after its filter byte, as the difference from the pixel to its left.
Bytes subFiltered(const PngJob& job) {
    const std::size_t stride = static_cast<std::size_t>(job.width) * bytesPerPixel;
    Bytes filtered = uninitialisedBytes((stride + 1) * static_cast<std::size_t>(job.height));
    std::uint8_t* out = filtered.data.get();
    for (int row = 0; row < job.height; ++row) {
        const std::uint8_t* in = job.rows[row];
        *out++ = subFilter;
        std::copy_n(in, bytesPerPixel, out);
        for (std::size_t i = bytesPerPixel; i < stride; ++i) {
            out[i] = static_cast<std::uint8_t>(in[i] - in[i - bytesPerPixel]);
        }
        out += stride;
    }
    return filtered;
}

// zlib's fastest level looking only for runs: the filtered rows of a rendered frame are mostly
// runs, and a general match search cost more time than it saved bytes.
bool deflateFrame(const Bytes& filtered, Bytes& packed, PngJob& job) {
    z_stream stream{};
    if (deflateInit2(&stream, 1, Z_DEFLATED, 15, 8, Z_RLE) != Z_OK) {
        std::snprintf(job.message, sizeof job.message, "out of memory");
        return false;
    }
    packed = uninitialisedBytes(deflateBound(&stream, static_cast<uLong>(filtered.size)));
    stream.next_in = filtered.data.get();
    stream.avail_in = static_cast<uInt>(filtered.size);
    stream.next_out = packed.data.get();
    stream.avail_out = static_cast<uInt>(packed.size);
    const bool done = deflate(&stream, Z_FINISH) == Z_STREAM_END;
    packed.size = stream.total_out;
    deflateEnd(&stream);
    if (!done) {
        std::snprintf(job.message, sizeof job.message, "the frame could not be compressed");
    }
    return done;
}

// Frames go without libpng: filtering the whole picture and compressing it in one call took
// about a fifth less time than libpng's row by row work.
bool encodeFrame(PngJob& job) {
    Bytes packed;
    if (!deflateFrame(subFiltered(job), packed, job)) {
        return false;
    }
    std::vector<std::uint8_t> header;
    putBigEndian(header, static_cast<std::uint32_t>(job.width));
    putBigEndian(header, static_cast<std::uint32_t>(job.height));
    // 8 bits, RGB, deflate, adaptive filtering, no interlacing.
    header.insert(header.end(), {8, 2, 0, 0, 0});
    std::fwrite(pngSignature.data(), 1, pngSignature.size(), job.file);
    writeChunk(job.file, "IHDR", header.data(), header.size());
    writeChunk(job.file, "IDAT", packed.data.get(), packed.size);
    writeChunk(job.file, "IEND", nullptr, 0);
    return true;
}

bool encode(PngJob& job) {
    return job.purpose == PngPurpose::frame ? encodeFrame(job) : encodePicture(job);
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
