#include "resource_test_files.h"

#include "common/jpeg_writer.h"

#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>

void writeBytes(const std::string& path, std::span<const std::uint8_t> bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    // An empty span may hold no pointer at all, which fwrite must not be given.
    if (!bytes.empty()) {
        EXPECT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
    }
    EXPECT_EQ(std::fclose(file), 0);
}

TestPicture makeGradientPicture(int width, int height) {
    TestPicture picture{width, height, 3, {}};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            picture.pixels.push_back(static_cast<std::uint8_t>(x * 255 / std::max(1, width - 1)));
            picture.pixels.push_back(static_cast<std::uint8_t>(y * 255 / std::max(1, height - 1)));
            picture.pixels.push_back(
                static_cast<std::uint8_t>((x + y) * 255 / std::max(1, width + height - 2)));
        }
    }
    return picture;
}

TestPicture makeQuadrantPicture(int width, int height, int components) {
    // Top left red, top right green, bottom left blue, bottom right white (as gray levels and
    // CMYK values the same four are kept apart).
    static constexpr std::uint8_t colours[4][4] = {
        {230, 20, 20, 10}, {20, 230, 20, 60}, {20, 20, 230, 120}, {240, 240, 240, 200}};
    TestPicture picture{width, height, components, {}};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int quadrant = (y < height / 2 ? 0 : 2) + (x < width / 2 ? 0 : 1);
            for (int c = 0; c < components; ++c) {
                picture.pixels.push_back(components == 1 ? colours[quadrant][3]
                                                         : colours[quadrant][c]);
            }
        }
    }
    return picture;
}

std::vector<std::uint8_t> encodeJpeg(const TestPicture& picture, int quality, bool progressive) {
    return encodeJpeg(picture.pixels, picture.width, picture.height, picture.components, quality,
                      progressive ? JpegScan::progressive : JpegScan::baseline);
}
