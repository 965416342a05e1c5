#include "effects/blur_sample_map.h"

#include <GL/gl.h>
#include <array>
#include <optional>

namespace {

constexpr int side = BlurSampleMap::side;

// Texel i of a pattern along one axis: red on even texels, green on odd ones, and blue 0, 0,
// 135, 255 over every four. Red and green give the weight and the parity; with blue, no two
// texel classes (texel mod 4) and weights draw the same colour under the driver's filter (a
// search over all of them found these blues).
std::array<std::uint8_t, 3> patternTexel(int i) {
    constexpr std::array<std::uint8_t, 4> blues = {0, 0, 135, 255};
    return {static_cast<std::uint8_t>(i % 2 == 0 ? 255 : 0),
            static_cast<std::uint8_t>(i % 2 == 0 ? 0 : 255),
            blues[static_cast<std::size_t>(i % 4)]};
}

// The driver's 8-bit linear filter between two texels.
int mix(int low, int high, int weight) {
    return (low * (256 - weight) + high * weight + 128) >> 8;
}

std::vector<std::uint8_t> patternAlong(int axis) {
    std::vector<std::uint8_t> texels(static_cast<std::size_t>(side * side * 3));
    for (int t = 0; t < side; ++t) {
        for (int s = 0; s < side; ++s) {
            const auto texel = patternTexel(axis == 0 ? s : t);
            const auto at = static_cast<std::size_t>((t * side + s) * 3);
            texels[at] = texel[0];
            texels[at + 1] = texel[1];
            texels[at + 2] = texel[2];
        }
    }
    return texels;
}

// Each shifted quad drawn opaque over the pattern, read back.
std::array<std::vector<std::uint8_t>, 4> drawnPatterns(int axis, const BlurQuadShifts& shifts) {
    const std::vector<std::uint8_t> texels = patternAlong(axis);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, side, side, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    std::array<std::vector<std::uint8_t>, 4> drawn;
    for (std::size_t j = 0; j < shifts.size(); ++j) {
        glBegin(GL_QUADS);
        emitBlurQuad(shifts[j][0], shifts[j][1]);
        glEnd();
        drawn[j].resize(static_cast<std::size_t>(side * side * 4));
        glReadPixels(0, 0, side, side, GL_RGBA, GL_UNSIGNED_BYTE, drawn[j].data());
    }
    return drawn;
}

// The filters that give each drawn colour: every texel class (texel mod 4) and weight, keyed by
// the red and green they draw.
class PatternDecoder {
public:
    PatternDecoder() : byRedGreen(256 * 256) {
        for (int texelClass = 0; texelClass < 4; ++texelClass) {
            const auto low = patternTexel(texelClass);
            const auto high = patternTexel(texelClass + 1);
            for (int weight = 0; weight < 256; ++weight) {
                const int red = mix(low[0], high[0], weight);
                const int green = mix(low[1], high[1], weight);
                byRedGreen[static_cast<std::size_t>(red * 256 + green)].push_back(
                    {texelClass, weight, mix(low[2], high[2], weight)});
            }
        }
    }

    // The filter position (texel x 256 + weight) along one axis that explains a drawn pixel,
    // its first texel within two below and one above the pixel's own; none when no single one
    // does.
    std::optional<int> positionOf(const std::uint8_t* drawn, int pixel) const {
        std::optional<int> found;
        for (const Filter& filter :
             byRedGreen[static_cast<std::size_t>(drawn[0] * 256 + drawn[1])]) {
            if (filter.blue != drawn[2]) {
                continue;
            }
            if (found) {
                return std::nullopt;
            }
            // The one texel of the class among pixel - 2 to pixel + 1.
            const int texel = pixel - 2 + (((filter.texelClass - pixel + 2) % 4) + 4) % 4;
            found = texel * 256 + filter.weight;
        }
        return found;
    }

private:
    struct Filter {
        int texelClass;
        int weight;
        int blue;
    };
    std::vector<std::vector<Filter>> byRedGreen;
};

} // namespace

bool BlurSampleMap::measure(const BlurQuadShifts& shifts) {
    taps.clear();
    GLuint pattern = 0;
    glGenTextures(1, &pattern);
    glBindTexture(GL_TEXTURE_2D, pattern);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glColor4ub(255, 255, 255, 255);
    const auto alongS = drawnPatterns(0, shifts);
    const auto alongT = drawnPatterns(1, shifts);
    glDeleteTextures(1, &pattern);

    const PatternDecoder decoder;
    std::vector<Tap> measuredTaps(static_cast<std::size_t>(side * side * 4));
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const auto pixel = static_cast<std::size_t>(y * side + x);
            for (std::size_t j = 0; j < 4; ++j) {
                const std::optional<int> s = decoder.positionOf(&alongS[j][pixel * 4], x);
                const std::optional<int> t = decoder.positionOf(&alongT[j][pixel * 4], y);
                if (!s || !t) {
                    return false;
                }
                const int texelS = (*s >> 8) - x;
                const int texelT = (*t >> 8) - y;
                if (texelS < -1 || texelS > 0 || texelT < -1 || texelT > 0) {
                    return false;
                }
                measuredTaps[pixel * 4 + j] = {
                    static_cast<std::int8_t>(texelS), static_cast<std::int8_t>(texelT),
                    static_cast<std::uint8_t>(*s & 255), static_cast<std::uint8_t>(*t & 255)};
            }
        }
    }
    taps = std::move(measuredTaps);
    return true;
}
