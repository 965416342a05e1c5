#include "forge/pictures/backdrop_pictures.h"

#include "forge/pictures/noise.h"
#include "forge/pictures/shading.h"

#include <cmath>

namespace forge {

namespace {

struct Polar {
    float radius;
    float angle;
};

// Picture coordinates to polar ones about the centre; the radius is 1 at the middle of an edge.
Polar toPolar(float u, float v) {
    float x = u * 2.0f - 1.0f;
    float y = v * 2.0f - 1.0f;
    return {std::sqrt(x * x + y * y), std::atan2(y, x)};
}

// Distance in angle to the nearest of count evenly spaced spokes.
float spokeDistance(float angle, int count) {
    float sector = twoPi / static_cast<float>(count);
    float k = fract(angle / sector + 0.5f) - 0.5f;
    return std::fabs(k) * sector;
}

Colour pulseShade(float u, float v) {
    Polar p = toPolar(u, v);
    float r = p.radius;
    float petalAngle = spokeDistance(p.angle, 12);
    float innerAngle = spokeDistance(p.angle + pi / 12.0f, 12);

    Colour colour = Colour{0.10f, 0.02f, 0.18f} * smoothstep(1.15f, 0.2f, r);
    // Large petals: their outline is where the angle reaches the petal's half-width.
    float petalWidth = 0.24f * smoothstep(0.92f, 0.2f, r) * std::sqrt(clamp01(r / 0.18f));
    float petalEdge = petalAngle * r - petalWidth * r * 0.9f;
    float inPetal = smoothstep(0.012f, -0.012f, petalEdge) * smoothstep(0.93f, 0.9f, r);
    Colour petalColour = mixColour(Colour{1.0f, 0.75f, 0.2f}, Colour{0.85f, 0.1f, 0.55f},
                                   smoothstep(0.2f, 0.85f, r));
    colour = mixColour(colour, petalColour * (0.55f + 0.45f * smoothstep(0.0f, -0.1f, petalEdge)),
                       inPetal);
    colour +=
        Colour{1.0f, 0.9f, 0.6f} * glowLine(petalEdge, 0.006f) * 0.9f * smoothstep(0.95f, 0.8f, r);
    // Second ring of narrow blue petals between the large ones.
    float bladeEdge = innerAngle * r - 0.07f * r * smoothstep(0.78f, 0.45f, r);
    float inBlade = smoothstep(0.008f, -0.008f, bladeEdge) * smoothstep(0.35f, 0.45f, r) *
                    smoothstep(0.8f, 0.76f, r);
    colour = mixColour(colour, Colour{0.2f, 0.75f, 1.0f}, inBlade * 0.9f);
    // Rings of jewels and bright circles.
    float jewel = std::hypot(r - 0.3f, spokeDistance(p.angle, 24) * r);
    colour += Colour{0.4f, 1.0f, 1.0f} * smoothstep(0.028f, 0.018f, jewel);
    float outerJewel = std::hypot(r - 0.97f, petalAngle * r);
    colour += Colour{1.0f, 0.5f, 0.9f} * smoothstep(0.045f, 0.03f, outerJewel);
    for (float ring : {0.22f, 0.38f, 0.86f}) {
        colour += Colour{1.0f, 0.85f, 0.5f} * glowLine(r - ring, 0.004f) * 0.8f;
    }
    // The white-hot core.
    colour += Colour{1.0f, 0.95f, 0.8f} * (smoothstep(0.16f, 0.1f, r) + gaussian(r, 0.22f) * 0.6f);
    return colour;
}

// Sparse small stars on a cells x cells grid, one candidate per cell.
Colour starField(float u, float v, int cells, std::uint32_t seed) {
    float cx = u * static_cast<float>(cells);
    float cy = v * static_cast<float>(cells);
    int ix = static_cast<int>(std::floor(cx));
    int iy = static_cast<int>(std::floor(cy));
    if (hash2(ix, iy, seed) > 0.3f) {
        return {};
    }
    float sx = static_cast<float>(ix) + 0.2f + 0.6f * hash2(ix, iy, seed + 1);
    float sy = static_cast<float>(iy) + 0.2f + 0.6f * hash2(ix, iy, seed + 2);
    float brightness = 0.3f + 0.7f * hash2(ix, iy, seed + 3);
    float d = std::hypot(cx - sx, cy - sy);
    return mixColour(Colour{0.7f, 0.8f, 1.0f}, Colour{1.0f, 0.85f, 0.7f}, hash2(ix, iy, seed + 4)) *
           (brightness * gaussian(d, 0.08f));
}

Colour spiralShade(float u, float v) {
    Polar p = toPolar(u, v);
    float r = std::max(p.radius, 0.001f);
    constexpr int armCount = 3;
    // Arms of a logarithmic spiral: constant phase along angle * arms - twist * log(r).
    float phase = (p.angle * armCount - 4.5f * std::log(r)) / twoPi;
    int arm = static_cast<int>(std::floor(phase)) % armCount;
    arm = arm < 0 ? arm + armCount : arm;
    float across = fract(phase) - 0.5f;
    static const Colour armColours[armCount] = {
        {1.0f, 0.7f, 0.15f}, {0.15f, 0.55f, 1.0f}, {0.9f, 0.15f, 0.7f}};
    static const float armWidths[armCount] = {0.16f, 0.1f, 0.07f};
    float body = gaussian(across, armWidths[arm]);
    float edge = glowLine(std::fabs(across) - armWidths[arm] * 0.9f, 0.01f);
    float fade = smoothstep(0.02f, 0.25f, r);
    Colour colour = armColours[arm] * (body * 0.9f + edge * 0.25f) * fade;
    // Knots that travel along the first arm make the sense of rotation obvious.
    float along = std::log(r) * 3.0f;
    float knot = gaussian(fract(along) - 0.5f, 0.08f) * gaussian(across, 0.05f);
    colour += (arm == 0 ? Colour{1.0f, 1.0f, 0.8f} : Colour{}) * knot * fade;
    // Dim dust between the arms, and a bright centre.
    colour += Colour{0.1f, 0.04f, 0.16f} * smoothstep(1.2f, 0.0f, r);
    colour += starField(u, v, 48, 7u);
    colour += Colour{1.0f, 0.9f, 0.7f} * gaussian(r, 0.09f);
    return colour;
}

Colour streakShade(float u, float v) {
    float across = u - 0.5f;
    float edges = smoothstep(0.0f, 0.12f, u) * smoothstep(1.0f, 0.88f, u);
    float flow = 0.35f + 0.65f * smoothstep(0.2f, 0.8f, fractalNoise(3.0f, v * 7.0f, 4, 21u));
    float core = gaussian(across, 0.06f);
    float halo = gaussian(across, 0.2f);
    // A few bright knots strung along the bar, and a faint grain along it.
    float knots = 0.0f;
    for (float centre : {0.17f, 0.44f, 0.58f, 0.86f}) {
        knots += gaussian(v - centre, 0.02f);
    }
    float grain = 0.9f + 0.1f * std::cos(v * twoPi * 23.0f + 3.0f * std::sin(v * 11.0f));
    Colour white{1.0f, 1.0f, 1.0f};
    Colour glow = mixColour(Colour{0.3f, 0.7f, 1.0f}, Colour{0.65f, 0.4f, 1.0f},
                            valueNoise(2.0f, v * 5.0f, 5u));
    Colour colour = white * core * flow * grain + glow * halo * 0.6f * (0.4f + flow);
    colour += white * knots * gaussian(across, 0.13f) * 0.8f;
    return colour * edges;
}

// The scene the models reflect, by unit direction with y up.
Colour environmentColour(float x, float y, float z) {
    float azimuth = std::atan2(x, z);
    Colour colour;
    if (y >= 0.0f) {
        Colour horizonSky{0.85f, 0.88f, 0.95f};
        Colour zenith{0.18f, 0.3f, 0.62f};
        colour = mixColour(horizonSky, zenith, std::pow(y, 0.6f));
        float lift = y + 0.25f;
        float cloud = fractalNoise(x / lift * 1.5f + 20.0f, z / lift * 1.5f + 20.0f, 4, 33u);
        colour += grey(0.25f) * smoothstep(0.55f, 0.8f, cloud) * smoothstep(0.0f, 0.2f, y);
    } else {
        float depth = -y;
        Colour nearFloor{0.06f, 0.05f, 0.05f};
        Colour farFloor{0.35f, 0.3f, 0.26f};
        colour = mixColour(farFloor, nearFloor, std::pow(depth, 0.5f));
        // Floor tiles, seen in perspective.
        float fx = x / std::max(depth, 0.02f);
        float fz = z / std::max(depth, 0.02f);
        float tile =
            std::min(std::fabs(fract(fx * 0.5f) - 0.5f), std::fabs(fract(fz * 0.5f) - 0.5f));
        colour += grey(0.18f) * smoothstep(0.04f, 0.0f, tile) * smoothstep(0.03f, 0.3f, depth);
    }
    // A sharp bright horizon is what makes a surface read as polished metal.
    colour += Colour{1.0f, 0.95f, 0.85f} * glowLine(y, 0.012f) * 0.8f;
    // Studio lights: two soft boxes and a sun.
    auto softBox = [&](float centreAzimuth, float centreY, float halfWidth, float halfHeight) {
        float da = std::fabs(azimuth - centreAzimuth);
        float dy = std::fabs(y - centreY);
        return smoothstep(halfWidth, halfWidth * 0.8f, da) *
               smoothstep(halfHeight, halfHeight * 0.8f, dy);
    };
    colour += grey(1.6f) * softBox(0.9f, 0.55f, 0.35f, 0.12f);
    colour += Colour{1.2f, 1.1f, 1.4f} * softBox(-1.6f, 0.35f, 0.12f, 0.3f);
    float sunDot = x * 0.45f + y * 0.6f + z * 0.66f;
    colour += Colour{1.0f, 0.9f, 0.7f} *
              (smoothstep(0.985f, 0.992f, sunDot) * 2.0f + std::pow(clamp01(sunDot), 60.0f) * 0.6f);
    return colour;
}

// Texture coordinates are those of sphere-map generation: t = 0 is the first (top) row, and t
// grows with the reflection's y, so the sky lies in the lower half of the stored picture.
Colour environmentShade(float u, float v) {
    float x = u * 2.0f - 1.0f;
    float y = v * 2.0f - 1.0f;
    float squared = x * x + y * y;
    if (squared > 1.0f) {
        // Past the rim: reflections pointing straight away from the viewer.
        return environmentColour(0.0f, y * 0.2f, -1.0f);
    }
    float z = std::sqrt(1.0f - squared);
    return environmentColour(2.0f * z * x, 2.0f * z * y, 2.0f * z * z - 1.0f);
}

} // namespace

Image makePulsePicture() {
    Image image(512, 512);
    image.shade(pulseShade, 2);
    return image;
}

Image makeSpiralPicture() {
    Image image(512, 512);
    image.shade(spiralShade, 2);
    return image;
}

Image makeStreakPicture() {
    Image image(256, 512);
    image.shade(streakShade, 1);
    return image;
}

Image makeEnvironmentPicture() {
    Image image(512, 512);
    image.shade(environmentShade, 2);
    return image;
}

} // namespace forge
