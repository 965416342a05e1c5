#include "forge/pictures/image.h"

#include "forge/pictures/shading.h"

namespace forge {

Image::Image(int width, int height)
    : pixelWidth(width), pixelHeight(height),
      pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {}

void Image::shade(const Shader& shader, int samples) {
    float weight = 1.0f / static_cast<float>(samples * samples);
    for (int y = 0; y < pixelHeight; ++y) {
        for (int x = 0; x < pixelWidth; ++x) {
            Colour sum;
            for (int sy = 0; sy < samples; ++sy) {
                for (int sx = 0; sx < samples; ++sx) {
                    float u = (static_cast<float>(x) +
                               (static_cast<float>(sx) + 0.5f) / static_cast<float>(samples)) /
                              static_cast<float>(pixelWidth);
                    float v = (static_cast<float>(y) +
                               (static_cast<float>(sy) + 0.5f) / static_cast<float>(samples)) /
                              static_cast<float>(pixelHeight);
                    sum += shader(u, v);
                }
            }
            at(x, y) = sum * weight;
        }
    }
}

void Image::addMask(const std::vector<float>& mask, Colour colour) {
    for (std::size_t i = 0; i < pixels.size() && i < mask.size(); ++i) {
        pixels[i] += colour * mask[i];
    }
}

Colour Image::sample(float u, float v) const {
    float x = std::clamp(u * static_cast<float>(pixelWidth) - 0.5f, 0.0f,
                         static_cast<float>(pixelWidth - 1));
    float y = std::clamp(v * static_cast<float>(pixelHeight) - 0.5f, 0.0f,
                         static_cast<float>(pixelHeight - 1));
    int x0 = static_cast<int>(x);
    int y0 = static_cast<int>(y);
    int x1 = std::min(x0 + 1, pixelWidth - 1);
    int y1 = std::min(y0 + 1, pixelHeight - 1);
    float fx = x - static_cast<float>(x0);
    float fy = y - static_cast<float>(y0);
    Colour top = mixColour(at(x0, y0), at(x1, y0), fx);
    Colour bottom = mixColour(at(x0, y1), at(x1, y1), fx);
    return mixColour(top, bottom, fy);
}

std::vector<unsigned char> Image::toRgb8() const {
    std::vector<unsigned char> bytes;
    bytes.reserve(pixels.size() * 3);
    auto toByte = [](float v) {
        return static_cast<unsigned char>(std::lround(clamp01(v) * 255.0f));
    };
    for (const Colour& pixel : pixels) {
        bytes.push_back(toByte(pixel.r));
        bytes.push_back(toByte(pixel.g));
        bytes.push_back(toByte(pixel.b));
    }
    return bytes;
}

} // namespace forge
