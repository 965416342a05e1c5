#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

// Small scalar helpers shared by the picture generators.
namespace forge {

constexpr float pi = 3.14159265358979f;
constexpr float twoPi = 2.0f * pi;

inline float clamp01(float v) {
    return std::clamp(v, 0.0f, 1.0f);
}

inline float mix(float a, float b, float k) {
    return a + (b - a) * k;
}

inline float smoothstep(float edge0, float edge1, float v) {
    float k = clamp01((v - edge0) / (edge1 - edge0));
    return k * k * (3.0f - 2.0f * k);
}

inline float step(float edge, float v) {
    return v >= edge ? 1.0f : 0.0f;
}

inline float fract(float v) {
    return v - std::floor(v);
}

// A soft bright line: 1 on the line, falling off over width.
inline float glowLine(float distance, float width) {
    float k = distance / width;
    return 1.0f / (1.0f + k * k);
}

inline float gaussian(float distance, float width) {
    float k = distance / width;
    return std::exp(-k * k);
}

// Integer hash to [0, 1): the same on every machine, unlike the C runtime's generator.
inline float hash2(int x, int y, std::uint32_t seed) {
    std::uint32_t h = static_cast<std::uint32_t>(x) * 0x8da6b343u ^
                      static_cast<std::uint32_t>(y) * 0xd8163841u ^ seed * 0xcb1ab31fu;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return static_cast<float>(h & 0xffffffu) / 16777216.0f;
}

} // namespace forge
