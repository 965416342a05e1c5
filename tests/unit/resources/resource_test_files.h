#pragma once

#include "support/scratch_directory.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

void writeBytes(const std::string& path, std::span<const std::uint8_t> bytes);

// Pixels of a test picture: height rows of width x components bytes, top row first.
struct TestPicture {
    int width = 0;
    int height = 0;
    int components = 3; // 1 grayscale, 3 RGB, 4 CMYK
    std::vector<std::uint8_t> pixels;
};

// Each pixel's colour from its position, so every row and column of a picture can be told apart.
TestPicture makeGradientPicture(int width, int height);
// Regions of one colour each, which survive JPEG compression almost unchanged.
TestPicture makeQuadrantPicture(int width, int height, int components);

std::vector<std::uint8_t> encodeJpeg(const TestPicture& picture, int quality = 95,
                                     bool progressive = false);
