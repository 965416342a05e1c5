#include "forge/pictures/noise.h"

#include "forge/pictures/shading.h"

namespace forge {

float valueNoise(float x, float y, std::uint32_t seed) {
    float fx = std::floor(x);
    float fy = std::floor(y);
    int ix = static_cast<int>(fx);
    int iy = static_cast<int>(fy);
    // Quintic fade: smooth in slope too, so the lattice does not show through.
    auto fade = [](float t) { return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f); };
    float u = fade(x - fx);
    float v = fade(y - fy);
    float top = mix(hash2(ix, iy, seed), hash2(ix + 1, iy, seed), u);
    float bottom = mix(hash2(ix, iy + 1, seed), hash2(ix + 1, iy + 1, seed), u);
    return mix(top, bottom, v);
}

float fractalNoise(float x, float y, int octaves, std::uint32_t seed) {
    float sum = 0.0f;
    float weight = 1.0f;
    float total = 0.0f;
    for (int octave = 0; octave < octaves; ++octave) {
        sum += valueNoise(x, y, seed + static_cast<std::uint32_t>(octave) * 101u) * weight;
        total += weight;
        weight *= 0.5f;
        // Each octave turned against the last, again to hide the lattice.
        float turnedX = x * 1.6f + y * 1.2f + 17.1f;
        y = y * 1.6f - x * 1.2f - 9.7f;
        x = turnedX;
    }
    return sum / total;
}

} // namespace forge
