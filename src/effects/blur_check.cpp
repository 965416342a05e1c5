#include "effects/blur_check.h"

#include <GL/gl.h>
#include <algorithm>
#include <cstdio>

namespace blur_check {

namespace {

constexpr int side = 512;

} // namespace

std::vector<std::uint8_t> readBoundTexture() {
    std::vector<std::uint8_t> texels(static_cast<std::size_t>(side * side * 4));
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    return texels;
}

void writeBoundTexture(const std::vector<std::uint8_t>& texels) {
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, side, side, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
}

Clock::time_point finishedNow() {
    glFinish();
    return Clock::now();
}

double finishedMillisecondsSince(Clock::time_point began) {
    glFinish();
    return std::chrono::duration<double, std::milli>(Clock::now() - began).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

std::string milliseconds(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f ms", value);
    return text;
}

} // namespace blur_check
