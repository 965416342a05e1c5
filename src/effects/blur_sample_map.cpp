#include "effects/blur_sample_map.h"

#include <GL/gl.h>
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <unordered_map>
#include <utility>

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
    struct Decoded {
        enum Kind { exact, unmatched, ambiguous };
        std::optional<int> position;
        Kind kind;
    };

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
    // its first texel within two below and one above the pixel's own. Exact when one filter
    // draws this colour; otherwise, with nearest matching, the filter drawing the closest one.
    Decoded positionOf(const std::uint8_t* drawn, int pixel,
                       BlurSampleMap::Matching matching) const {
        std::optional<int> found;
        int matches = 0;
        for (const Filter& filter :
             byRedGreen[static_cast<std::size_t>(drawn[0] * 256 + drawn[1])]) {
            if (filter.blue == drawn[2]) {
                ++matches;
                found = texelOf(filter.texelClass, pixel) * 256 + filter.weight;
            }
        }
        if (matches == 1) {
            return {found, Decoded::exact};
        }
        const Decoded::Kind kind = matches == 0 ? Decoded::unmatched : Decoded::ambiguous;
        if (matching == BlurSampleMap::Matching::exact) {
            return {std::nullopt, kind};
        }
        const int filter = nearest(drawn);
        return {texelOf(filter / 256, pixel) * 256 + filter % 256, kind};
    }

private:
    struct Filter {
        int texelClass;
        int weight;
        int blue;
    };
    std::vector<std::vector<Filter>> byRedGreen;

    // The one texel of the class among pixel - 2 to pixel + 1.
    static int texelOf(int texelClass, int pixel) {
        return pixel - 2 + (((texelClass - pixel + 2) % 4) + 4) % 4;
    }

    // The closest filter (texel class x 256 + weight) to a colour, remembered by colour: the
    // drawn patterns hold few colours, each many times.
    int nearest(const std::uint8_t* drawn) const {
        const auto colour = static_cast<std::uint32_t>(drawn[0] << 16 | drawn[1] << 8 | drawn[2]);
        const auto known = nearestByColour.find(colour);
        if (known != nearestByColour.end()) {
            return known->second;
        }
        const int filter = closestFilter(drawn);
        nearestByColour.emplace(colour, filter);
        return filter;
    }

    // The red or green that rises with the weight tells it within a few steps; the first of
    // the closest colours wins.
    static int closestFilter(const std::uint8_t* drawn) {
        constexpr int searched = 4;
        int closest = 1 << 30;
        int filter = 0;
        for (int texelClass = 0; texelClass < 4; ++texelClass) {
            const auto low = patternTexel(texelClass);
            const auto high = patternTexel(texelClass + 1);
            const int rising = texelClass % 2 == 0 ? drawn[1] : drawn[0];
            const int estimate = rising * 256 / 255;
            for (int weight = std::max(estimate - searched, 0);
                 weight <= std::min(estimate + searched, 255); ++weight) {
                int distance = 0;
                for (std::size_t c = 0; c < 3; ++c) {
                    distance += std::abs(mix(low[c], high[c], weight) - drawn[c]);
                }
                if (distance < closest) {
                    closest = distance;
                    filter = texelClass * 256 + weight;
                }
            }
        }
        return filter;
    }

    mutable std::unordered_map<std::uint32_t, int> nearestByColour;
};

std::string percentOf(std::size_t part, std::size_t whole) {
    char text[96];
    std::snprintf(text, sizeof text, "%zu of %zu samples (%.1f %%)", part, whole,
                  100.0 * static_cast<double>(part) / static_cast<double>(whole));
    return text;
}

} // namespace

bool BlurSampleMap::measure(const BlurQuadShifts& shifts, Matching matching) {
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
    std::array<std::size_t, 3> kinds{};
    bool outside = false;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const auto pixel = static_cast<std::size_t>(y * side + x);
            for (std::size_t j = 0; j < 4; ++j) {
                const auto s = decoder.positionOf(&alongS[j][pixel * 4], x, matching);
                const auto t = decoder.positionOf(&alongT[j][pixel * 4], y, matching);
                ++kinds[s.kind];
                ++kinds[t.kind];
                if (!s.position || !t.position) {
                    continue;
                }
                const int texelS = (*s.position >> 8) - x;
                const int texelT = (*t.position >> 8) - y;
                if (texelS < -1 || texelS > 0 || texelT < -1 || texelT > 0) {
                    outside = true;
                    continue;
                }
                measuredTaps[pixel * 4 + j] = {static_cast<std::int8_t>(texelS),
                                               static_cast<std::int8_t>(texelT),
                                               static_cast<std::uint8_t>(*s.position & 255),
                                               static_cast<std::uint8_t>(*t.position & 255)};
            }
        }
    }
    return keep(std::move(measuredTaps), kinds, outside, matching);
}

bool BlurSampleMap::keep(std::vector<Tap> measuredTaps, const std::array<std::size_t, 3>& kinds,
                         bool outside, Matching matching) {
    const std::size_t samples = kinds[0] + kinds[1] + kinds[2];
    using Decoded = PatternDecoder::Decoded;
    note.clear();
    if (kinds[Decoded::unmatched] != 0) {
        note = "the driver's filter matches no 8-bit Mesa value in " +
               percentOf(kinds[Decoded::unmatched], samples);
    }
    if (kinds[Decoded::ambiguous] != 0) {
        note += (note.empty() ? "" : "; ") + percentOf(kinds[Decoded::ambiguous], samples) +
                " match more than one filter";
    }
    const bool inexact = !note.empty();
    if (inexact && matching == Matching::nearest) {
        note += ", taken as the nearest";
    }
    if (outside) {
        note += std::string(note.empty() ? "" : "; ") +
                "a sample starts outside its pixel's own texel and the one before";
    }
    if (outside || (inexact && matching == Matching::exact)) {
        return false;
    }
    taps = std::move(measuredTaps);
    return true;
}
