#include "platform/web/gl/mipmap_chain.h"

#include <algorithm>
#include <cstring>

namespace webgl {

namespace {

std::size_t texelOffset(const PixelImage& image, int x, int y) {
    return (static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) +
            static_cast<std::size_t>(x)) *
           static_cast<std::size_t>(image.components);
}

PixelImage blankImage(int width, int height, int components) {
    PixelImage image{width, height, components, {}};
    image.texels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) *
                        static_cast<std::size_t>(components));
    return image;
}

// How much of source texel [index, index + 1) lies in [low, high).
double overlap(int index, double low, double high) {
    return std::max(0.0, std::min(high, index + 1.0) - std::max(low, static_cast<double>(index)));
}

} // namespace

int nearestPowerOfTwo(int size) {
    int power = 1;
    while (power * 2 <= size) {
        power *= 2;
    }
    return power > 1 && size >= power + power / 2 ? power * 2 : power;
}

PixelImage unpackImage(const std::uint8_t* pixels, int width, int height, int components,
                       int alignment) {
    PixelImage image = blankImage(width, height, components);
    const std::size_t rowBytes = static_cast<std::size_t>(width) * components;
    const std::size_t stride = (rowBytes + alignment - 1) / alignment * alignment;
    for (int y = 0; y < height; ++y) {
        std::memcpy(image.texels.data() + y * rowBytes, pixels + y * stride, rowBytes);
    }
    return image;
}

PixelImage scaleImage(const PixelImage& image, int width, int height) {
    PixelImage scaled = blankImage(width, height, image.components);
    const double stepX = static_cast<double>(image.width) / width;
    const double stepY = static_cast<double>(image.height) / height;
    for (int y = 0; y < height; ++y) {
        const double lowY = y * stepY;
        const double highY = lowY + stepY;
        for (int x = 0; x < width; ++x) {
            const double lowX = x * stepX;
            const double highX = lowX + stepX;
            for (int c = 0; c < image.components; ++c) {
                double sum = 0.0;
                for (int sy = static_cast<int>(lowY); sy < highY && sy < image.height; ++sy) {
                    for (int sx = static_cast<int>(lowX); sx < highX && sx < image.width; ++sx) {
                        sum += image.texels[texelOffset(image, sx, sy) + c] *
                               overlap(sx, lowX, highX) * overlap(sy, lowY, highY);
                    }
                }
                scaled.texels[texelOffset(scaled, x, y) + c] =
                    static_cast<std::uint8_t>(sum / (stepX * stepY));
            }
        }
    }
    return scaled;
}

PixelImage halveImage(const PixelImage& image) {
    const int width = std::max(1, image.width / 2);
    const int height = std::max(1, image.height / 2);
    PixelImage half = blankImage(width, height, image.components);
    const int spanX = image.width > 1 ? 2 : 1;
    const int spanY = image.height > 1 ? 2 : 1;
    const int count = spanX * spanY;
    const int rounding = count == 4 ? 2 : 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < image.components; ++c) {
                int sum = 0;
                for (int dy = 0; dy < spanY; ++dy) {
                    for (int dx = 0; dx < spanX; ++dx) {
                        sum += image.texels[texelOffset(image, x * spanX + dx, y * spanY + dy) + c];
                    }
                }
                half.texels[texelOffset(half, x, y) + c] =
                    static_cast<std::uint8_t>((sum + rounding) / count);
            }
        }
    }
    return half;
}

std::vector<PixelImage> buildMipmapChain(const PixelImage& picture) {
    const int width = nearestPowerOfTwo(picture.width);
    const int height = nearestPowerOfTwo(picture.height);
    std::vector<PixelImage> levels;
    if (width == picture.width && height == picture.height) {
        levels.push_back(picture);
    } else {
        levels.push_back(scaleImage(picture, width, height));
    }
    while (levels.back().width > 1 || levels.back().height > 1) {
        levels.push_back(halveImage(levels.back()));
    }
    return levels;
}

} // namespace webgl
