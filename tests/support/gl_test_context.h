#pragma once

#include "platform/window_system.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <gtest/gtest.h>
#include <vector>

// A real OpenGL context for tests: a plain window of the platform's SDL window system, with its
// width x height picture bound for drawing and reading.
class GlTestContext {
public:
    explicit GlTestContext(int width = 800, int height = 600);
    ~GlTestContext();
    GlTestContext(const GlTestContext&) = delete;
    GlTestContext& operator=(const GlTestContext&) = delete;

    bool ready() const { return glContext != nullptr; }
    void swap();

    int width;
    int height;
    platform::WindowHandle window = nullptr;
    platform::DeviceContextHandle deviceContext = nullptr;
    platform::GlContextHandle glContext = nullptr;
};

using Rgba = std::array<std::uint8_t, 4>;

// Pixels of the bound read framebuffer, bottom row first.
std::vector<Rgba> readPixels(int x, int y, int width, int height);
Rgba readPixel(int x, int y);

// Red, green and blue each within tolerance; alpha, where there is one, is not compared.
template <std::size_t Channels>
bool sameColour(const std::array<std::uint8_t, Channels>& a,
                const std::array<std::uint8_t, Channels>& b, int tolerance) {
    for (std::size_t channel = 0; channel < 3; ++channel) {
        if (std::abs(int{a[channel]} - int{b[channel]}) > tolerance) {
            return false;
        }
    }
    return true;
}

template <std::size_t Channels>
testing::AssertionResult colourNear(const std::array<std::uint8_t, Channels>& actual,
                                    const std::array<std::uint8_t, Channels>& expected,
                                    int tolerance) {
    if (sameColour(actual, expected, tolerance)) {
        return testing::AssertionSuccess();
    }
    return testing::AssertionFailure()
           << "got (" << int{actual[0]} << ", " << int{actual[1]} << ", " << int{actual[2]}
           << "), expected (" << int{expected[0]} << ", " << int{expected[1]} << ", "
           << int{expected[2]} << ") within " << tolerance;
}
