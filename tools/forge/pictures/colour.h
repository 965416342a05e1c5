#pragma once

namespace forge {

// Linear-ish display values: 0 is black, 1 full intensity; values above 1 clip when written.
struct Colour {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
};

inline Colour operator+(Colour a, Colour b) {
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}
inline Colour operator-(Colour a, Colour b) {
    return {a.r - b.r, a.g - b.g, a.b - b.b};
}
inline Colour operator*(Colour a, float k) {
    return {a.r * k, a.g * k, a.b * k};
}
inline Colour operator*(float k, Colour a) {
    return a * k;
}
inline Colour operator*(Colour a, Colour b) {
    return {a.r * b.r, a.g * b.g, a.b * b.b};
}
inline Colour& operator+=(Colour& a, Colour b) {
    return a = a + b;
}

inline Colour mixColour(Colour a, Colour b, float k) {
    return a + (b - a) * k;
}

inline Colour grey(float v) {
    return {v, v, v};
}

// Fully saturated colour of hue 0 to 1 (red, yellow, green, cyan, blue, magenta, red).
Colour hueColour(float hue);

} // namespace forge
