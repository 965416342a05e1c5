#pragma once

#include <array>
#include <cstdint>

// A 64x48 height field whose waves spread with the two-buffer scheme, drawn as a shaded mesh over
// a picture that it then copies back into the same texture. Not an Effect: its one operation
// takes the texture slot as well as the time. The demo constructs it and never draws it.
class WaterRipple {
public:
    static constexpr int columns = 64;
    static constexpr int rows = 48;
    static constexpr int cellCount = columns * rows;

    using HeightField = std::array<std::int16_t, cellCount>;

    // Flat water, with the border cells held at 0.
    WaterRipple();
    virtual ~WaterRipple() = default;

    // One time step of the waves.
    void step();
    // One step, then the field over the picture of the slot, rendered into the lower-left 512x512
    // pixels and copied back into that slot's texture, which must be at least 512x512. seconds
    // is ignored. Clears colour and depth and leaves the viewport at 800x600 and texturing on.
    virtual void draw(int textureSlot, float seconds);

    // The smoothed height of a vertex: the eight cells around (row, column) of previousHeights
    // summed and divided by 9; cells outside the field read as 0.
    int smoothedHeight(int row, int column) const;

    // Cell (row, column) is index row * columns + column.
    HeightField heights;
    HeightField previousHeights;
    std::array<std::uint8_t, cellCount> fixedMask;

private:
    void drawStrip(int row) const;
    void emitVertex(int row, int column) const;
};
