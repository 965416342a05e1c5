#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

// A directory of its own below the system's temporary directory, removed with everything in it.
class TemporaryDirectory {
public:
    TemporaryDirectory();
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;
    ~TemporaryDirectory();

    const std::filesystem::path& path() const { return directory; }
    std::string file(const std::string& name) const { return (directory / name).string(); }

private:
    std::filesystem::path directory;
};

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
