#include "forge/pictures/lower_strip_pictures.h"

#include "forge/pictures/shading.h"
#include "forge/pictures/strip_pictures.h"
#include "forge/pictures/strokes.h"
#include "forge/random_stream.h"

#include <cmath>
#include <vector>

namespace forge {

namespace {

constexpr float stripScale = static_cast<float>(stripPictureSize);

// A trace runs on a 16-pixel grid, turning by 45 degrees now and then, ending in a pad.
void addCircuitTrace(Image& image, RandomStream& random) {
    static const int directions[8][2] = {{1, 0},  {1, 1},   {0, 1},  {-1, 1},
                                         {-1, 0}, {-1, -1}, {0, -1}, {1, -1}};
    float step = 8.0f;
    Point at{static_cast<float>(random.below(16)) * 16.0f + 8.0f,
             static_cast<float>(random.below(16)) * 16.0f + 8.0f};
    int heading = random.below(4) * 2;
    Colour colour = random.below(3) == 0 ? Colour{1.0f, 0.6f, 0.15f} : Colour{0.2f, 0.9f, 0.8f};
    addGlowDot(image, at, colour * 1.2f, 3.0f);
    int length = 6 + random.below(22);
    for (int segment = 0; segment < length; ++segment) {
        if (random.below(5) == 0) {
            heading = (heading + (random.below(2) == 0 ? 1 : 7)) % 8;
        }
        Point next{at.x + directions[heading][0] * step, at.y + directions[heading][1] * step};
        if (next.x < 4 || next.y < 4 || next.x > stripScale - 4 || next.y > stripScale - 4) {
            break;
        }
        addGlowSegment(image, at, next, colour * 0.8f, 1.6f, 3.0f);
        at = next;
    }
    addGlowDot(image, at, Colour{1.0f, 1.0f, 0.9f}, 2.6f);
}

// A bolt by midpoint displacement; some midpoints fork off a thinner branch.
void addBolt(Image& image, RandomStream& random, Point a, Point b, float width, int depth) {
    if (depth == 0) {
        Colour core{0.85f, 0.9f, 1.0f};
        addGlowSegment(image, a, b, core * (0.5f + width * 0.2f), width, width * 3.0f);
        return;
    }
    float dx = b.x - a.x;
    float dy = b.y - a.y;
    float offset = random.uniform(-0.22f, 0.22f);
    Point middle{(a.x + b.x) * 0.5f - dy * offset, (a.y + b.y) * 0.5f + dx * offset};
    addBolt(image, random, a, middle, width, depth - 1);
    addBolt(image, random, middle, b, width, depth - 1);
    if (depth >= 3 && width > 0.8f && random.below(3) == 0) {
        float angle = random.uniform(-0.7f, 0.7f);
        Point end{middle.x + (dx * std::cos(angle) - dy * std::sin(angle)) * 0.6f,
                  middle.y + (dx * std::sin(angle) + dy * std::cos(angle)) * 0.6f};
        addBolt(image, random, middle, end, width * 0.55f, depth - 2);
    }
}

Colour horizonGridShade(float u, float v) {
    constexpr float horizon = 0.55f;
    Colour colour;
    if (v < horizon) {
        float sunDistance = std::hypot(u - 0.5f, (v - 0.38f) * 1.0f);
        float stripes = v > 0.38f ? step(0.5f, fract((v - 0.38f) * 38.0f)) : 1.0f;
        float inSun = smoothstep(0.2f, 0.195f, sunDistance) * stripes;
        Colour sun = mixColour(Colour{1.0f, 0.9f, 0.3f}, Colour{1.0f, 0.2f, 0.5f},
                               clamp01((v - 0.2f) / 0.35f));
        colour = sun * inSun + Colour{0.5f, 0.1f, 0.4f} * gaussian(sunDistance, 0.25f) * 0.35f;
        colour += Colour{0.3f, 0.05f, 0.35f} * gaussian(v - horizon, 0.06f);
    } else {
        float depth = (v - horizon) / (1.0f - horizon);
        float z = 1.0f / std::max(depth, 0.001f);
        float gx = (u - 0.5f) * z * 4.0f;
        float lineX = std::fabs(fract(gx) - 0.5f) / z;
        float lineZ = std::fabs(fract(z * 1.5f) - 0.5f) / (z * 1.5f);
        float width = 0.004f;
        float grid = std::max(glowLine(std::max(lineX * 4.0f - width, 0.0f), 0.004f),
                              glowLine(std::max(lineZ * 1.5f - width, 0.0f), 0.004f));
        colour = Colour{1.0f, 0.2f, 0.8f} * grid * smoothstep(0.0f, 0.15f, depth);
        colour += Colour{0.6f, 0.1f, 0.5f} * gaussian(depth, 0.05f);
    }
    return colour;
}

// One twelfth of the crystal, mirrored into the rest: a main arm along +x with side branches.
float snowflakeDistance(float u, float v) {
    float x = (u - 0.5f) * 2.0f;
    float y = (v - 0.5f) * 2.0f;
    float radius = std::hypot(x, y);
    float angle = std::fabs(fract(std::atan2(y, x) / (pi / 3.0f) + 0.5f) - 0.5f) * (pi / 3.0f);
    Point p{radius * std::cos(angle), radius * std::sin(angle)};
    float d = segmentDistance(p, {0.0f, 0.0f}, {0.88f, 0.0f});
    const float sixty = pi / 3.0f;
    Point branchDirection{std::cos(sixty), std::sin(sixty)};
    for (float start : {0.25f, 0.45f, 0.62f, 0.76f}) {
        float length = 0.28f * (1.0f - start) + 0.04f;
        d = std::min(
            d, segmentDistance(p, {start, 0.0f},
                               {start + branchDirection.x * length, branchDirection.y * length}));
    }
    // Inner hexagon.
    float hexagon = std::fabs(p.x - 0.16f);
    if (p.y < 0.16f * std::tan(pi / 6.0f) + 0.01f) {
        d = std::min(d, hexagon);
    }
    return d;
}

Colour snowflakeShade(float u, float v) {
    float d = snowflakeDistance(u, v);
    float radius = std::hypot(u - 0.5f, v - 0.5f);
    Colour ice{0.55f, 0.85f, 1.0f};
    Colour colour = ice * (smoothstep(0.012f, 0.004f, d) + gaussian(d, 0.035f) * 0.35f);
    colour += Colour{0.9f, 0.97f, 1.0f} * smoothstep(0.006f, 0.0f, d);
    colour += Colour{0.1f, 0.2f, 0.4f} * gaussian(radius, 0.3f) * 0.4f;
    return colour;
}

} // namespace

Image makeCircuitPicture() {
    Image image(stripPictureSize, stripPictureSize);
    image.shade([](float, float v) { return Colour{0.0f, 0.03f, 0.04f} * (1.0f - v * 0.5f); }, 1);
    RandomStream random(606);
    for (int trace = 0; trace < 34; ++trace) {
        addCircuitTrace(image, random);
    }
    return image;
}

Image makeLightningPicture() {
    Image image(stripPictureSize, stripPictureSize);
    image.shade(
        [](float u, float v) {
            return Colour{0.12f, 0.05f, 0.3f} * gaussian(std::hypot(u - 0.5f, v), 0.5f);
        },
        1);
    RandomStream random(707);
    addBolt(image, random, {stripScale * 0.45f, 0.0f}, {stripScale * 0.55f, stripScale}, 1.8f, 8);
    addBolt(image, random, {stripScale * 0.1f, stripScale * 0.05f},
            {stripScale * 0.3f, stripScale * 0.75f}, 1.2f, 7);
    return image;
}

Image makeHorizonGridPicture() {
    return makeShadedStripPicture(horizonGridShade, 3);
}

Image makeSnowflakePicture() {
    return makeShadedStripPicture(snowflakeShade, 2);
}

} // namespace forge
