#pragma once

#include <cstdint>
#include <memory>

// A decoded picture: height rows of rowStride bytes, packed without gaps, the top row first and
// every pixel red, green, blue.
struct DecodedImage {
    std::int32_t rowStride = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::unique_ptr<std::uint8_t[]> pixels;
};
