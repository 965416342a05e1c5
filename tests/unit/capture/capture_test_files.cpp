#include "capture_test_files.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <png.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace capturetest {

bool readPng(const std::string& path, Picture& picture, std::string& reason) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        reason = image.message;
        return false;
    }
    if (image.format != PNG_FORMAT_RGB) {
        reason = "not 8-bit RGB";
        png_image_free(&image);
        return false;
    }
    picture.width = static_cast<int>(image.width);
    picture.height = static_cast<int>(image.height);
    picture.rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, picture.rgb.data(), 0, nullptr)) {
        reason = image.message;
        return false;
    }
    return true;
}

namespace {

std::uint32_t little32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
           static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

std::uint16_t little16(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

} // namespace

bool readWav(const std::string& path, WavSound& sound, std::string& reason) {
    std::ifstream file(path, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
        std::memcmp(bytes.data() + 8, "WAVE", 4) != 0) {
        reason = "no RIFF WAVE header";
        return false;
    }
    if (little32(bytes, 4) != bytes.size() - 8) {
        reason = "the RIFF size does not match the file";
        return false;
    }
    bool formatSeen = false;
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        const std::uint32_t size = little32(bytes, at + 4);
        const std::size_t body = at + 8;
        if (body + size > bytes.size()) {
            reason = "a chunk runs past the end";
            return false;
        }
        if (std::memcmp(bytes.data() + at, "fmt ", 4) == 0 && size >= 16) {
            formatSeen = little16(bytes, body) == 1;
            sound.channels = little16(bytes, body + 2);
            sound.rate = static_cast<int>(little32(bytes, body + 4));
            sound.bitsPerSample = little16(bytes, body + 14);
        } else if (std::memcmp(bytes.data() + at, "data", 4) == 0 && formatSeen) {
            sound.declaredBytes = size;
            sound.samples.resize(size / 2);
            std::memcpy(sound.samples.data(), bytes.data() + body, sound.samples.size() * 2);
            return true;
        }
        at = body + size + (size & 1);
    }
    reason = "no PCM format and data chunks";
    return false;
}

std::uint64_t hashBytes(const std::uint8_t* bytes, std::size_t size) {
    std::uint64_t hash = 14695981039346656037ull;
    for (std::size_t i = 0; i < size; ++i) {
        hash = (hash ^ bytes[i]) * 1099511628211ull;
    }
    return hash;
}

namespace {

std::vector<double> colourHistogram(const Picture& picture) {
    std::vector<double> bins(64, 0.0);
    const std::size_t pixels = picture.rgb.size() / 3;
    for (std::size_t i = 0; i < pixels; ++i) {
        const std::uint8_t* p = picture.rgb.data() + i * 3;
        bins[static_cast<std::size_t>((p[0] >> 6) * 16 + (p[1] >> 6) * 4 + (p[2] >> 6))] += 1.0;
    }
    for (double& bin : bins) {
        bin /= static_cast<double>(pixels == 0 ? 1 : pixels);
    }
    return bins;
}

} // namespace

double colourDistance(const Picture& a, const Picture& b) {
    const std::vector<double> first = colourHistogram(a);
    const std::vector<double> second = colourHistogram(b);
    double distance = 0.0;
    for (std::size_t bin = 0; bin < first.size(); ++bin) {
        distance += std::abs(first[bin] - second[bin]);
    }
    return distance;
}

bool makeDeviceCopies(const ScratchDirectory& scratch) {
    return ::mknod(scratch.file("null").c_str(), S_IFCHR | 0666, ::makedev(1, 3)) == 0 &&
           ::mknod(scratch.file("full").c_str(), S_IFCHR | 0666, ::makedev(1, 7)) == 0;
}

bool isCharacterDevice(const std::string& path, unsigned major, unsigned minor) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0 && S_ISCHR(status.st_mode) &&
           ::major(status.st_rdev) == major && ::minor(status.st_rdev) == minor;
}

} // namespace capturetest
