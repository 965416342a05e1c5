#pragma once

#include "number_sets.h"

#include <cstdint>
#include <vector>

// One sequence of OpenGL 1.1 calls, compiled twice: against Mesa, and against the WebGL subset's
// core under node. It makes only the calls the core answers itself; what WebGL does directly
// (viewport, clears, reading pixels) each side's runner does around it.

// The matrices and the current colour after each step, read back with glGetFloatv.
void recordMatrixAndColourQueries(NumberSets& sets);

// Each draw step sets all the state it needs. The runner captures every vertex as it reaches
// the rasteriser, in window coordinates of the 512x512 viewport at the origin.
struct DrawStep {
    const char* name;
    void (*draw)();
};
inline constexpr int viewportSide = 512;
const std::vector<DrawStep>& vertexSteps();

// Full-viewport quads drawn one after another, blended or not, over a cleared picture; the
// runner reads the centre pixel after each.
inline constexpr float clearColour[4] = {0.2f, 0.4f, 0.6f, 0.5f};
const std::vector<DrawStep>& blendSteps();

// Pictures for gluBuild2DMipmaps: sizes that need no scaling, shrinking and enlarging, with
// rows padded to their unpack alignment. GLU misreads a picture that narrows to one texel
// before it shortens when rows are aligned to 4, so that shape comes with alignment 1.
struct MipmapSource {
    const char* name;
    int width;
    int height;
    int components;
    int alignment;
    std::vector<std::uint8_t> pixels;
};
std::vector<MipmapSource> mipmapSources();

// RGBA pixels written into part of an RGB texture, their rows longer than the part: OpenGL
// drops the alpha. Each runner defines the texture from baseRgb, writes rgbaPart at
// (partX, partY) with the unpack row length partRowLength, and reads the texture back as RGB.
struct RgbaIntoRgb {
    static constexpr const char* name = "upload/rgba into rgb";
    static constexpr int side = 4;
    static constexpr int partX = 1;
    static constexpr int partY = 2;
    static constexpr int partWidth = 3;
    static constexpr int partHeight = 2;
    static constexpr int partRowLength = 5;
    std::vector<std::uint8_t> baseRgb;
    std::vector<std::uint8_t> rgbaPart;
};
RgbaIntoRgb rgbaIntoRgb();
