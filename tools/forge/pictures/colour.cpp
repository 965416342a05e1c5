#include "forge/pictures/colour.h"

#include <algorithm>
#include <cmath>

namespace forge {

Colour hueColour(float hue) {
    float h = (hue - std::floor(hue)) * 6.0f;
    auto channel = [h](float offset) {
        float d = std::fabs(std::fmod(h + offset, 6.0f) - 3.0f);
        return std::clamp(d - 1.0f, 0.0f, 1.0f);
    };
    return {channel(0.0f), channel(4.0f), channel(2.0f)};
}

} // namespace forge
