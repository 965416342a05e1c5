#include "forge/pictures/title_pictures.h"

#include "forge/pictures/mask_blur.h"
#include "forge/pictures/noise.h"
#include "forge/pictures/shading.h"
#include "forge/pictures/strokes.h"
#include "forge/pictures/text_renderer.h"
#include "forge/random_stream.h"

#include <cmath>

namespace forge {

namespace {

constexpr int cardWidth = 640;
constexpr int cardHeight = 480;

std::vector<float> emptyMask() {
    return std::vector<float>(static_cast<std::size_t>(cardWidth * cardHeight));
}

// Text with a wide coloured bloom and a tight white-hot core.
void addGlowingText(Image& image, const TextRenderer& text, const std::u32string& line,
                    int pixelSize, int spacing, int baselineY, Colour bloom) {
    std::vector<float> mask = emptyMask();
    text.drawCentred(mask, cardWidth, cardHeight, line, pixelSize, spacing, cardWidth / 2,
                     baselineY);
    image.addMask(blurMask(mask, cardWidth, cardHeight, 14), bloom * 0.9f);
    image.addMask(blurMask(mask, cardWidth, cardHeight, 4), bloom * 0.7f);
    image.addMask(mask, Colour{1.0f, 1.0f, 1.0f});
}

// A thin horizontal rule that fades out towards its ends.
void addRule(Image& image, float y, float halfLength, Colour colour) {
    float centre = cardWidth * 0.5f;
    constexpr int pieces = 32;
    for (int i = 0; i < pieces; ++i) {
        float k0 = static_cast<float>(i) / pieces;
        float k1 = static_cast<float>(i + 1) / pieces;
        float fade = 1.0f - (k0 + k1) * 0.5f;
        for (float side : {-1.0f, 1.0f}) {
            addGlowSegment(image, {centre + side * k0 * halfLength, y},
                           {centre + side * k1 * halfLength, y}, colour * (fade * fade), 1.2f,
                           4.0f);
        }
    }
}

void addDiamond(Image& image, Point centre, float size, Colour colour) {
    Point top{centre.x, centre.y - size};
    Point right{centre.x + size, centre.y};
    Point bottom{centre.x, centre.y + size};
    Point left{centre.x - size, centre.y};
    for (auto [a, b] : {std::pair{top, right}, std::pair{right, bottom}, std::pair{bottom, left},
                        std::pair{left, top}}) {
        addGlowSegment(image, a, b, colour, 1.4f, 3.0f);
    }
}

// A small sixfold star of six glowing spokes with a short fork on each.
void addSnowStar(Image& image, Point centre, float size, Colour colour) {
    for (int spoke = 0; spoke < 6; ++spoke) {
        float angle = static_cast<float>(spoke) * pi / 3.0f;
        Point tip{centre.x + std::cos(angle) * size, centre.y + std::sin(angle) * size};
        addGlowSegment(image, centre, tip, colour, 1.2f, size * 0.15f);
        Point fork{centre.x + std::cos(angle) * size * 0.6f,
                   centre.y + std::sin(angle) * size * 0.6f};
        for (float turn : {-0.6f, 0.6f}) {
            Point end{fork.x + std::cos(angle + turn) * size * 0.3f,
                      fork.y + std::sin(angle + turn) * size * 0.3f};
            addGlowSegment(image, fork, end, colour * 0.8f, 1.0f, 0.0f);
        }
    }
}

Colour mistShade(float u, float v) {
    float x = (u - 0.5f) * (static_cast<float>(cardWidth) / cardHeight);
    float y = v - 0.55f;
    // Drifting fog, stretched sideways and thicker along a horizon of light.
    float warp = fractalNoise(u * 3.0f, v * 3.0f, 3, 90u);
    float fog = fractalNoise(u * 3.5f + warp * 1.5f, v * 7.0f, 5, 91u);
    float band = gaussian(y + 0.05f * std::sin(u * 5.0f), 0.13f);
    float glow = gaussian(std::hypot(x * 0.6f, y * 1.6f), 0.2f);
    float density = smoothstep(0.25f, 0.75f, fog);
    Colour mist{0.55f, 0.68f, 0.95f};
    Colour colour = mist * (band * (0.25f + density) * 0.75f + glow * 0.3f);
    colour += Colour{1.0f, 0.95f, 0.85f} *
              (gaussian(std::hypot(x, y * 2.2f), 0.045f) * 0.9f + glow * 0.4f);
    // Fade out well inside the card so no edge shows over the streaks.
    float edge = gaussian(std::hypot(x * 0.75f, y * 1.1f), 0.42f) * smoothstep(0.0f, 0.2f, u) *
                 smoothstep(1.0f, 0.8f, u) * smoothstep(0.0f, 0.15f, v) *
                 smoothstep(1.0f, 0.85f, v);
    return colour * edge;
}

} // namespace

Image makeFirstTitlePicture(const TextRenderer& text) {
    Image image(cardWidth, cardHeight);
    Colour amber{1.0f, 0.55f, 0.15f};
    addGlowingText(image, text, U"Tuulenpesija", 66, 3, 262, amber);
    addRule(image, 168.0f, 270.0f, amber);
    addRule(image, 312.0f, 270.0f, amber);
    addDiamond(image, {cardWidth * 0.5f, 168.0f}, 9.0f, Colour{1.0f, 0.9f, 0.7f});
    addDiamond(image, {cardWidth * 0.5f, 312.0f}, 9.0f, Colour{1.0f, 0.9f, 0.7f});
    return image;
}

Image makeSecondTitlePicture(const TextRenderer& text) {
    Image image(cardWidth, cardHeight);
    Colour ice{0.3f, 0.65f, 1.0f};
    addGlowingText(image, text, U"Lumivaha", 92, 6, 278, ice);
    RandomStream random(808);
    for (int star = 0; star < 14; ++star) {
        float x = random.uniform(30.0f, cardWidth - 30.0f);
        float y =
            random.below(2) == 0 ? random.uniform(40.0f, 160.0f) : random.uniform(330.0f, 440.0f);
        addSnowStar(image, {x, y}, random.uniform(7.0f, 18.0f),
                    Colour{0.8f, 0.9f, 1.0f} * random.uniform(0.5f, 1.0f));
    }
    return image;
}

Image makeMistPicture() {
    Image image(cardWidth, cardHeight);
    image.shade(mistShade, 1);
    return image;
}

} // namespace forge
