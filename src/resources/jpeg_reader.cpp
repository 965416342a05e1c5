#include "resources/jpeg_reader.h"

#include "platform/startup_probe.h"
#include "resources/libjpeg_decoding.h"
#include "resources/resource_error.h"

#include <jerror.h>

namespace {

// The library hands its handlers a pointer to the manager, the first member, so the handlers can
// reach the file name through it.
struct FileErrorManager {
    jpeg_error_mgr manager;
    const std::string* fileName;
    void (*standardEmitMessage)(j_common_ptr, int);
};

FileErrorManager& fileErrors(j_common_ptr info) {
    return *reinterpret_cast<FileErrorManager*>(info->err);
}

[[noreturn]] void exitNamingFile(j_common_ptr info) {
    char message[JMSG_LENGTH_MAX] = {};
    (*info->err->format_message)(info, message);
    failResource(*fileErrors(info).fileName, std::string("is not a valid picture: ") + message);
}

// The library only warns when the data stop early and fills the rest of the picture with grey;
// a truncated picture file is a broken one.
void emitMessageFailingOnEnd(j_common_ptr info, int level) {
    if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF) {
        exitNamingFile(info);
    }
    fileErrors(info).standardEmitMessage(info, level);
}

bool hasColourSpace(const jpeg_decompress_struct& decompressor, J_COLOR_SPACE space,
                    int components) {
    return decompressor.jpeg_color_space == space && decompressor.num_components == components;
}

} // namespace

std::string unsupportedPictureReason(const jpeg_decompress_struct& decompressor) {
    const bool colour =
        hasColourSpace(decompressor, JCS_YCbCr, 3) || hasColourSpace(decompressor, JCS_RGB, 3);
    if (!colour && !hasColourSpace(decompressor, JCS_GRAYSCALE, 1)) {
        const bool cmyk =
            decompressor.jpeg_color_space == JCS_CMYK || decompressor.jpeg_color_space == JCS_YCCK;
        return "it has " + std::to_string(decompressor.num_components) + " colour components" +
               (cmyk ? " (CMYK)" : "") + "; only colour and grayscale JPEG pictures are supported";
    }
    if (decompressor.image_width > maximumPictureSide ||
        decompressor.image_height > maximumPictureSide) {
        return "it is " + std::to_string(decompressor.image_width) + " x " +
               std::to_string(decompressor.image_height) + " pixels; at most " +
               std::to_string(maximumPictureSide) + " x " + std::to_string(maximumPictureSide) +
               " are supported";
    }
    return {};
}

bool decodeJpeg(jpeg_decompress_struct& decompressor, DecodedImage& image) {
    jpeg_read_header(&decompressor, TRUE);
    if (!unsupportedPictureReason(decompressor).empty()) {
        return false;
    }
    decompressor.out_color_space = JCS_RGB;
    jpeg_start_decompress(&decompressor);
    image.width = static_cast<std::int32_t>(decompressor.output_width);
    image.height = static_cast<std::int32_t>(decompressor.output_height);
    image.rowStride = decompressor.output_components * image.width;
    image.pixels = std::make_unique_for_overwrite<std::uint8_t[]>(
        static_cast<std::size_t>(image.rowStride) * static_cast<std::size_t>(image.height));
    while (decompressor.output_scanline < decompressor.output_height) {
        JSAMPROW row = image.pixels.get() + static_cast<std::size_t>(decompressor.output_scanline) *
                                                static_cast<std::size_t>(image.rowStride);
        // Only a suspending source delivers nothing, and ours never suspend; stop rather than spin.
        if (jpeg_read_scanlines(&decompressor, &row, 1) == 0) {
            return false;
        }
    }
    return jpeg_finish_decompress(&decompressor) == TRUE;
}

std::unique_ptr<DecodedImage> readJpegFile(const std::string& fileName) {
    const platform::StartupProbe probe(platform::StartupStep::pictureDecode);
    std::FILE* file = openResourceFile(fileName);
    if (file == nullptr) {
        return nullptr;
    }
    FileErrorManager errors{};
    jpeg_decompress_struct decompressor{};
    decompressor.err = jpeg_std_error(&errors.manager);
    errors.fileName = &fileName;
    errors.standardEmitMessage = errors.manager.emit_message;
    errors.manager.error_exit = exitNamingFile;
    errors.manager.emit_message = emitMessageFailingOnEnd;
    jpeg_create_decompress(&decompressor);
    jpeg_stdio_src(&decompressor, file);
    auto image = std::make_unique<DecodedImage>();
    if (!decodeJpeg(decompressor, *image)) {
        const std::string reason = unsupportedPictureReason(decompressor);
        failResource(fileName, "is not a usable picture: " +
                                   (reason.empty() ? "it cannot be decoded completely" : reason));
    }
    jpeg_destroy_decompress(&decompressor);
    std::fclose(file);
    return image;
}
