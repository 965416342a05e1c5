#pragma once

#include "forge/pictures/colour.h"

#include <functional>
#include <vector>

namespace forge {

// A picture being made: float RGB, the first row is the top of the picture.
class Image {
public:
    // A shader sees the pixel position as u across and v down, both 0 to 1 over the picture.
    using Shader = std::function<Colour(float u, float v)>;

    Image(int width, int height);

    int width() const { return pixelWidth; }
    int height() const { return pixelHeight; }

    Colour& at(int x, int y) { return pixels[static_cast<std::size_t>(y * pixelWidth + x)]; }
    const Colour& at(int x, int y) const {
        return pixels[static_cast<std::size_t>(y * pixelWidth + x)];
    }

    // Replaces every pixel by the mean of samples x samples shader values inside it.
    void shade(const Shader& shader, int samples);
    // Adds colour scaled by a coverage mask of the same size.
    void addMask(const std::vector<float>& mask, Colour colour);
    // Bilinear sample at picture coordinates u, v (0 to 1), clamped at the edges.
    Colour sample(float u, float v) const;

    // Rounded and clamped 8-bit RGB rows, top row first.
    std::vector<unsigned char> toRgb8() const;

private:
    int pixelWidth;
    int pixelHeight;
    std::vector<Colour> pixels;
};

} // namespace forge
