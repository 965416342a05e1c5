#include "forge/pictures/upper_strip_pictures.h"

#include "forge/pictures/mask_blur.h"
#include "forge/pictures/noise.h"
#include "forge/pictures/shading.h"
#include "forge/pictures/strip_pictures.h"
#include "forge/pictures/strokes.h"
#include "forge/pictures/text_renderer.h"
#include "forge/random_stream.h"

#include <cmath>
#include <complex>

namespace forge {

namespace {

Colour juliaShade(float u, float v) {
    std::complex<float> z((u - 0.5f) * 3.0f, (v - 0.5f) * 3.0f);
    const std::complex<float> c(-0.745f, 0.113f);
    constexpr int limit = 160;
    int iteration = 0;
    while (iteration < limit && std::norm(z) < 256.0f) {
        z = z * z + c;
        ++iteration;
    }
    if (iteration == limit) {
        return Colour{0.02f, 0.0f, 0.05f};
    }
    // Smooth escape count: bright close to the set, fading out into the dark.
    float smooth = static_cast<float>(iteration) - std::log2(std::log2(std::norm(z)) * 0.5f);
    float k = clamp01(smooth / 60.0f);
    Colour glow = mixColour(Colour{0.1f, 0.2f, 0.9f}, Colour{1.0f, 0.95f, 0.8f}, k * k);
    return glow * std::pow(k, 1.2f) * 1.6f;
}

Colour interferenceShade(float u, float v) {
    float x = u - 0.5f;
    float y = v - 0.5f;
    float d1 = std::hypot(x - 0.12f, y + 0.05f);
    float d2 = std::hypot(x + 0.12f, y - 0.05f);
    // Each source's rings, and where they meet in phase the bright fringes between them.
    float ring1 = std::pow(0.5f + 0.5f * std::cos(d1 * 110.0f), 8.0f);
    float ring2 = std::pow(0.5f + 0.5f * std::cos(d2 * 110.0f), 8.0f);
    float fringes = std::pow(0.5f + 0.5f * std::cos((d1 - d2) * 110.0f), 12.0f);
    float vignette = smoothstep(0.72f, 0.1f, std::hypot(x, y));
    Colour colour = (Colour{0.1f, 0.9f, 0.6f} * ring1 + Colour{0.2f, 0.45f, 1.0f} * ring2) * 0.45f;
    colour += Colour{0.9f, 1.0f, 0.95f} * fringes * 0.6f;
    colour = colour * vignette;
    colour += Colour{1.0f, 1.0f, 0.9f} * (gaussian(d1, 0.015f) + gaussian(d2, 0.015f));
    return colour;
}

Colour contourShade(float u, float v) {
    float x = u * 6.0f;
    float y = v * 6.0f;
    float field = std::sin(x * 1.3f + std::sin(y * 0.9f)) + std::sin(y * 1.7f - x * 0.4f) +
                  std::sin(std::hypot(x - 3.0f, y - 3.0f) * 2.1f);
    float level = field * 2.5f;
    float line = glowLine(std::fabs(fract(level) - 0.5f) - 0.5f, 0.03f);
    float core = glowLine(std::fabs(fract(level) - 0.5f) - 0.5f, 0.012f);
    Colour tint = hueColour(0.55f + field * 0.12f);
    return (tint * 0.8f + grey(0.2f)) * line + grey(0.8f) * core + tint * 0.05f;
}

Colour forestSky(float u, float v) {
    Colour colour = mixColour(Colour{0.0f, 0.02f, 0.08f}, Colour{0.02f, 0.06f, 0.14f}, v);
    // Curtains of the northern lights, rippling sideways.
    float curtain = std::sin(u * 9.0f + 2.5f * fractalNoise(u * 3.0f, 1.0f, 3, 12u)) * 0.5f + 0.5f;
    float band = gaussian(v - 0.3f - 0.12f * std::sin(u * 4.0f + 1.0f), 0.12f);
    float rays = 0.6f + 0.4f * valueNoise(u * 40.0f, 0.0f, 13u);
    colour += Colour{0.2f, 1.0f, 0.5f} * (band * curtain * rays * 0.9f);
    colour += Colour{0.6f, 0.2f, 0.9f} * gaussian(v - 0.14f, 0.06f) * curtain * 0.3f;
    float moon = std::hypot(u - 0.72f, v - 0.22f);
    colour += Colour{1.0f, 0.97f, 0.85f} *
              (smoothstep(0.075f, 0.07f, moon) + gaussian(moon, 0.12f) * 0.25f);
    return colour;
}

// Height of the tree line, as a fraction of the picture from the top, at u.
float pineTop(float u) {
    float height = 0.82f - 0.06f * fractalNoise(u * 3.0f, 0.5f, 2, 44u);
    for (int tree = 0; tree < 9; ++tree) {
        float centre = 0.05f + 0.11f * static_cast<float>(tree) + 0.03f * hash2(tree, 0, 45u);
        float size = 0.2f + 0.25f * hash2(tree, 1, 45u);
        float dx = std::fabs(u - centre);
        // Jagged cone: steps of branches along a straight flank.
        float flank = dx * 3.2f / size;
        float jag = 0.02f * fract(flank * 6.0f);
        height = std::min(height, 0.86f - size + flank * size + jag);
    }
    return height;
}

Colour forestShade(float u, float v) {
    float top = pineTop(u);
    float ground = smoothstep(top - 0.004f, top + 0.004f, v);
    return forestSky(u, v) * (1.0f - ground);
}

// The galaxy as a density: a bright bulge and two logarithmic arms.
Colour galaxyShade(float u, float v) {
    float x = (u - 0.5f) * 2.0f;
    float y = (v - 0.5f) * 2.6f;
    float c = std::cos(0.5f);
    float s = std::sin(0.5f);
    float rx = x * c - y * s;
    float ry = (x * s + y * c) * 1.5f;
    float r = std::max(std::hypot(rx, ry), 0.001f);
    float angle = std::atan2(ry, rx);
    float arms = std::pow(0.5f + 0.5f * std::cos(2.0f * angle - 5.0f * std::log(r)), 4.0f);
    float clumps = 0.6f + 0.8f * fractalNoise(u * 20.0f, v * 20.0f, 3, 71u);
    float disc = std::exp(-r * 3.2f);
    Colour colour = Colour{0.45f, 0.6f, 1.0f} * (arms * disc * clumps * 1.4f);
    colour += Colour{1.0f, 0.85f, 0.6f} * (gaussian(r, 0.12f) * 1.2f + disc * 0.12f);
    return colour;
}

} // namespace

Image makeJuliaPicture() {
    return makeShadedStripPicture(juliaShade, 2);
}

Image makeInterferencePicture() {
    return makeShadedStripPicture(interferenceShade, 2);
}

Image makeContourPicture() {
    return makeShadedStripPicture(contourShade, 2);
}

Image makeForestPicture() {
    return makeShadedStripPicture(forestShade, 2);
}

Image makeGlyphPicture(const TextRenderer& text) {
    constexpr int columns = 11;
    constexpr int rows = 12;
    const std::u32string glyphs = U"ΛΞΨΦΩΣΔΓΠθλμξ∑∫≈≠◊∆∇ЖЯЮФ";
    RandomStream random(404);
    Image image(stripPictureSize, stripPictureSize);
    std::vector<float> mask(static_cast<std::size_t>(stripPictureSize * stripPictureSize));
    std::vector<float> heads(mask.size());
    for (int column = 0; column < columns; ++column) {
        int head = random.below(rows + 6);
        int length = 4 + random.below(7);
        for (int row = 0; row < rows; ++row) {
            int behind = head - row;
            if (behind < 0 || behind > length) {
                continue;
            }
            std::vector<float> glyph(mask.size());
            std::u32string one(
                1, glyphs[static_cast<std::size_t>(random.below(static_cast<int>(glyphs.size())))]);
            int centreX = column * stripPictureSize / columns + stripPictureSize / (2 * columns);
            text.drawCentred(glyph, stripPictureSize, stripPictureSize, one, 18, 0, centreX,
                             row * 22 + 18);
            float fade = 1.0f - static_cast<float>(behind) / static_cast<float>(length + 1);
            auto& target = behind == 0 ? heads : mask;
            for (std::size_t i = 0; i < glyph.size(); ++i) {
                target[i] = std::max(target[i], glyph[i] * fade);
            }
        }
    }
    image.addMask(blurMask(mask, stripPictureSize, stripPictureSize, 3), Colour{0.0f, 0.5f, 0.25f});
    image.addMask(mask, Colour{0.15f, 0.9f, 0.45f});
    image.addMask(blurMask(heads, stripPictureSize, stripPictureSize, 4), Colour{0.4f, 1.0f, 0.7f});
    image.addMask(heads, Colour{0.9f, 1.0f, 0.95f});
    return image;
}

Image makeGalaxyPicture() {
    Image image(stripPictureSize, stripPictureSize);
    image.shade(galaxyShade, 2);
    RandomStream random(505);
    for (int star = 0; star < 140; ++star) {
        Point centre{random.uniform(0.0f, stripPictureSize),
                     random.uniform(0.0f, stripPictureSize)};
        float brightness = random.uniform(0.2f, 1.0f);
        addGlowDot(image, centre, Colour{0.9f, 0.9f, 1.0f} * brightness,
                   random.uniform(0.4f, 1.1f));
    }
    return image;
}

} // namespace forge
