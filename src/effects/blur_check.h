#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

// What the blurs that check a faster way against another share: the 512x512 blur target read
// and written whole, and times taken once the drawing has finished.
namespace blur_check {

using Clock = std::chrono::steady_clock;

// The bound texture as RGBA; a GL_RGB texture reads back with alpha 255.
std::vector<std::uint8_t> readBoundTexture();
void writeBoundTexture(const std::vector<std::uint8_t>& texels);

// Now, after everything issued before has finished drawing.
Clock::time_point finishedNow();
// Milliseconds since a point, after everything issued before has finished drawing.
double finishedMillisecondsSince(Clock::time_point began);

double median(std::vector<double> values);
// As the blurs tell times: "12.34 ms".
std::string milliseconds(double value);

} // namespace blur_check
