#include "common/ico_writer.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

void putLittleEndian(std::vector<std::uint8_t>& bytes, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) {
        bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

constexpr std::uint32_t directorySize = 6 + 16;
constexpr std::uint32_t bitmapHeaderSize = 40;

// The icon's bitmap: its header counts the colour rows and the transparency mask's rows
// together, colours go bottom row first as blue, green, red, alpha, and the mask (all shown)
// follows with each row padded to four bytes.
std::vector<std::uint8_t> iconBitmap(const std::uint8_t* rgbPixels, int side) {
    std::vector<std::uint8_t> bitmap;
    const auto width = static_cast<std::uint32_t>(side);
    const std::uint32_t maskRowBytes = (width + 31) / 32 * 4;
    putLittleEndian(bitmap, bitmapHeaderSize, 4);
    putLittleEndian(bitmap, width, 4);
    putLittleEndian(bitmap, 2 * width, 4);
    putLittleEndian(bitmap, 1, 2);  // planes
    putLittleEndian(bitmap, 32, 2); // bits per pixel
    putLittleEndian(bitmap, 0, 4);  // uncompressed
    putLittleEndian(bitmap, width * width * 4 + maskRowBytes * width, 4);
    putLittleEndian(bitmap, 0, 16); // resolution and palette: none
    for (int row = side - 1; row >= 0; --row) {
        const std::uint8_t* pixel = rgbPixels + static_cast<std::size_t>(row) * width * 3;
        for (std::uint32_t column = 0; column < width; ++column, pixel += 3) {
            bitmap.insert(bitmap.end(), {pixel[2], pixel[1], pixel[0], 255});
        }
    }
    bitmap.resize(bitmap.size() + maskRowBytes * width, 0);
    return bitmap;
}

} // namespace

bool writeIcoFile(const std::string& path, const std::uint8_t* rgbPixels, int side,
                  std::string& reason) {
    if (side < 1 || side > 256) {
        reason = "an icon is 1 to 256 pixels square";
        return false;
    }
    const std::vector<std::uint8_t> bitmap = iconBitmap(rgbPixels, side);
    std::vector<std::uint8_t> file;
    putLittleEndian(file, 0, 2); // reserved
    putLittleEndian(file, 1, 2); // an icon
    putLittleEndian(file, 1, 2); // one picture
    // 256 is written as 0: the field is a byte.
    putLittleEndian(file, static_cast<std::uint32_t>(side % 256), 1);
    putLittleEndian(file, static_cast<std::uint32_t>(side % 256), 1);
    putLittleEndian(file, 0, 2); // no palette, reserved
    putLittleEndian(file, 1, 2); // planes
    putLittleEndian(file, 32, 2);
    putLittleEndian(file, static_cast<std::uint32_t>(bitmap.size()), 4);
    putLittleEndian(file, directorySize, 4);
    file.insert(file.end(), bitmap.begin(), bitmap.end());

    std::FILE* output = std::fopen(path.c_str(), "wb");
    if (output == nullptr) {
        reason = std::strerror(errno);
        return false;
    }
    const bool written = std::fwrite(file.data(), 1, file.size(), output) == file.size();
    const int writeError = errno;
    if (std::fclose(output) != 0 || !written) {
        reason = std::strerror(written ? errno : writeError);
        std::remove(path.c_str());
        return false;
    }
    return true;
}
