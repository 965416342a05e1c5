#pragma once

#include "platform/window_system.h"

#include <array>
#include <cstdint>
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
