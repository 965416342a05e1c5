#pragma once

#include "effects/camera.h"
#include "effects/effect.h"

#include <array>
#include <cstdint>
#include <cstring>

// Cubes grown by a random walk in a 64x64x64 occupancy grid, one step at most per frame and per
// 0.08 s, seen from a camera that circles the grid and looks near the walker. About 256 KiB:
// allocate it on the heap.
class VoxelGrowth final : public Effect {
public:
    static constexpr int side = 64;
    static constexpr int cellCount = side * side * side;
    // Beyond this many cubes the next draw starts again from one.
    static constexpr std::int32_t largestCubeCount = 400;

    VoxelGrowth();

    void draw(float seconds) override;
    // Steps 1 and 2 of draw: the resets and at most one walk step. No OpenGL.
    void advance(float seconds);
    // The growth starts again from the one cube at (32, 32, 32).
    void reset();
    // Takes one new cell two cells away from the walker, relocating a walker that is boxed in.
    void walk();

    static constexpr int cellIndex(int x, int y, int z) { return x * side * side + y * side + z; }
    bool isTaken(int x, int y, int z) const { return grid[cellIndex(x, y, z)] != 0; }

    // Calls visit(x, y, z) for every taken cell, x outermost and z innermost, all ascending: the
    // order decides which of two coplanar faces wins.
    template <typename Visit> void forEachTakenCell(Visit visit) const;

    // Between operations the walker stands on a taken cell and cubeCount counts the taken cells.
    std::array<std::uint8_t, cellCount> grid;
    Camera camera;
    std::array<std::int32_t, 3> walker;
    float lastStepTime;
    std::int32_t cubeCount;

private:
    void aimCamera(float seconds);
    void drawCubes() const;
};

// One cube of edge 2 centred on the current origin. Its faces are tinted from baseColour, which is
// the current colour again afterwards.
void drawCube();

template <typename Visit> void VoxelGrowth::forEachTakenCell(Visit visit) const {
    // Taken cells are rare: memchr skips the empty runs far faster than a byte-by-byte test.
    const std::uint8_t* const begin = grid.data();
    const std::uint8_t* const end = begin + cellCount;
    for (const std::uint8_t* cell = begin; cell != end; ++cell) {
        cell = static_cast<const std::uint8_t*>(
            std::memchr(cell, 1, static_cast<std::size_t>(end - cell)));
        if (cell == nullptr) {
            return;
        }
        const auto index = static_cast<int>(cell - begin);
        visit(index / (side * side), index / side % side, index % side);
    }
}
