#include "forge/pictures/strokes.h"

#include "forge/pictures/shading.h"

namespace forge {

float segmentDistance(Point p, Point a, Point b) {
    float dx = b.x - a.x;
    float dy = b.y - a.y;
    float lengthSquared = dx * dx + dy * dy;
    float k = lengthSquared > 0.0f ? clamp01(((p.x - a.x) * dx + (p.y - a.y) * dy) / lengthSquared)
                                   : 0.0f;
    return std::hypot(p.x - (a.x + dx * k), p.y - (a.y + dy * k));
}

void addGlowSegment(Image& image, Point a, Point b, Colour colour, float width, float haloWidth) {
    float reach = std::max(width * 2.0f, haloWidth * 2.5f) + 1.0f;
    int left = std::max(0, static_cast<int>(std::floor(std::min(a.x, b.x) - reach)));
    int right =
        std::min(image.width() - 1, static_cast<int>(std::ceil(std::max(a.x, b.x) + reach)));
    int top = std::max(0, static_cast<int>(std::floor(std::min(a.y, b.y) - reach)));
    int bottom =
        std::min(image.height() - 1, static_cast<int>(std::ceil(std::max(a.y, b.y) + reach)));
    for (int y = top; y <= bottom; ++y) {
        for (int x = left; x <= right; ++x) {
            Point p{static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f};
            float d = segmentDistance(p, a, b);
            float core = smoothstep(width * 0.5f + 0.7f, width * 0.5f - 0.3f, d);
            float halo = haloWidth > 0.0f ? gaussian(d, haloWidth) * 0.25f : 0.0f;
            image.at(x, y) += colour * std::max(core, halo);
        }
    }
}

void addGlowDot(Image& image, Point centre, Colour colour, float radius) {
    addGlowSegment(image, centre, centre, colour, radius * 2.0f, radius * 1.5f);
}

} // namespace forge
