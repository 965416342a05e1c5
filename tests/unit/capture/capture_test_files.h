#pragma once

#include "support/scratch_directory.h"

#include <cstdint>
#include <string>
#include <vector>

// Reading back what the capture tool writes, independently of the tool's own code.
namespace capturetest {

struct Picture {
    int width = 0;
    int height = 0;
    // 8-bit RGB, top row first.
    std::vector<std::uint8_t> rgb;

    const std::uint8_t* pixel(int x, int y) const {
        return rgb.data() + (static_cast<std::size_t>(y) * width + x) * 3;
    }
};

// An 8-bit RGB PNG file, decoded with libpng. False with the reason for anything else.
bool readPng(const std::string& path, Picture& picture, std::string& reason);

struct WavSound {
    int rate = 0;
    int channels = 0;
    int bitsPerSample = 0;
    // The data chunk's size as the header states it, in bytes.
    std::uint32_t declaredBytes = 0;
    std::vector<std::int16_t> samples;
};

// A PCM WAV file; false with the reason when its chunks do not add up.
bool readWav(const std::string& path, WavSound& sound, std::string& reason);

// FNV-1a over the bytes: equal pictures, equal hashes.
std::uint64_t hashBytes(const std::uint8_t* bytes, std::size_t size);

// How far apart two pictures' colour histograms lie (4 levels a channel), from 0 for the same
// mix of colours to 2 for none in common. Motion barely moves it; a new scene in a new colour does.
double colourDistance(const Picture& a, const Picture& b);

// Copies of the machine's null (1, 3) and full (1, 7) devices as "null" and "full" in the
// directory, so no test writes the real ones. False where device nodes cannot be made.
bool makeDeviceCopies(const ScratchDirectory& scratch);

// True when path itself, not a link to it, is that character device.
bool isCharacterDevice(const std::string& path, unsigned major, unsigned minor);

} // namespace capturetest
