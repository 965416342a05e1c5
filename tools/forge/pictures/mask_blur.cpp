#include "forge/pictures/mask_blur.h"

#include <cstddef>

namespace forge {

namespace {

// One running-sum box pass along count cells spaced stride apart; edges clamp.
void boxPass(const float* source, float* target, int count, std::ptrdiff_t stride, int radius) {
    float sum = 0.0f;
    auto value = [&](int i) {
        i = i < 0 ? 0 : (i >= count ? count - 1 : i);
        return source[i * stride];
    };
    for (int i = -radius; i <= radius; ++i) {
        sum += value(i);
    }
    float scale = 1.0f / static_cast<float>(2 * radius + 1);
    for (int i = 0; i < count; ++i) {
        target[i * stride] = sum * scale;
        sum += value(i + radius + 1) - value(i - radius);
    }
}

} // namespace

std::vector<float> blurMask(const std::vector<float>& mask, int width, int height, int radius) {
    std::vector<float> current = mask;
    std::vector<float> scratch(mask.size());
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < height; ++y) {
            boxPass(current.data() + static_cast<std::ptrdiff_t>(y) * width,
                    scratch.data() + static_cast<std::ptrdiff_t>(y) * width, width, 1, radius);
        }
        for (int x = 0; x < width; ++x) {
            boxPass(scratch.data() + x, current.data() + x, height, width, radius);
        }
    }
    return current;
}

} // namespace forge
