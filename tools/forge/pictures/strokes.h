#pragma once

#include "forge/pictures/image.h"

namespace forge {

struct Point {
    float x = 0.0f;
    float y = 0.0f;
};

// Distance from p to the segment a-b.
float segmentDistance(Point p, Point a, Point b);

// Adds a glowing line from a to b (pixel coordinates): a core of about width pixels and a halo
// of haloWidth pixels at a quarter strength. Only pixels near the segment are visited.
void addGlowSegment(Image& image, Point a, Point b, Colour colour, float width, float haloWidth);

// Adds a soft round dot of the given radius in pixels.
void addGlowDot(Image& image, Point centre, Colour colour, float radius);

} // namespace forge
