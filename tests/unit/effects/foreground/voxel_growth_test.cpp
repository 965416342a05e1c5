#include "effects/voxel_growth.h"
#include "random_sequence.h"

#include <cmath>
#include <gtest/gtest.h>
#include <memory>

namespace {

using Cell = std::array<std::int32_t, 3>;

std::vector<Cell> takenCells(const VoxelGrowth& growth) {
    std::vector<Cell> cells;
    growth.forEachTakenCell([&](int x, int y, int z) { cells.push_back({x, y, z}); });
    return cells;
}

int countTakenBytes(const VoxelGrowth& growth) {
    int count = 0;
    for (const std::uint8_t cell : growth.grid) {
        count += cell != 0 ? 1 : 0;
    }
    return count;
}

// The offset of a walk step for a direction draw: x - 2, x + 2, y - 2, y + 2, z - 2, z + 2.
Cell stepFrom(const Cell& from, int draw) {
    Cell to = from;
    const int direction = draw % 6;
    to[static_cast<std::size_t>(direction / 2)] += direction % 2 == 0 ? -2 : 2;
    return to;
}

void take(VoxelGrowth& growth, const Cell& cell) {
    if (!growth.isTaken(cell[0], cell[1], cell[2])) {
        growth.grid[VoxelGrowth::cellIndex(cell[0], cell[1], cell[2])] = 1;
        ++growth.cubeCount;
    }
}

class VoxelGrowthTest : public ::testing::Test {
protected:
    std::unique_ptr<VoxelGrowth> growth = std::make_unique<VoxelGrowth>();
};

TEST_F(VoxelGrowthTest, ConstructionHoldsOneCubeAtTheCentreAndDrawsNothing) {
    const RandomSequence sequence(7);
    auto fresh = std::make_unique<VoxelGrowth>();
    EXPECT_EQ(sequence.drawsMade(), 0u);
    EXPECT_EQ(fresh->cubeCount, 1);
    EXPECT_EQ(takenCells(*fresh), (std::vector<Cell>{{32, 32, 32}}));
    EXPECT_EQ(countTakenBytes(*fresh), 1);
    EXPECT_EQ(fresh->walker, (Cell{32, 32, 32}));
    EXPECT_FLOAT_EQ(fresh->lastStepTime, -3.0f);
    EXPECT_FLOAT_EQ(fresh->camera.fieldOfView, 90.0f);
}

TEST_F(VoxelGrowthTest, FirstDrawAddsACubeTwoCellsAwayInTheDrawnDirection) {
    for (std::uint32_t seed : {1u, 2u, 3u, 4u, 5u, 6u, 99u, 12345u}) {
        const RandomSequence sequence(seed);
        auto fresh = std::make_unique<VoxelGrowth>();
        fresh->advance(12.5f);
        const Cell expected = stepFrom({32, 32, 32}, sequence[0]);
        // Scan order: the lower cell comes first.
        const Cell centre = {32, 32, 32};
        const std::vector<Cell> expectedCells = expected < centre
                                                    ? std::vector<Cell>{expected, centre}
                                                    : std::vector<Cell>{centre, expected};
        EXPECT_EQ(takenCells(*fresh), expectedCells) << "seed " << seed;
        EXPECT_EQ(fresh->walker, expected);
        EXPECT_EQ(fresh->cubeCount, 2);
        EXPECT_FLOAT_EQ(fresh->lastStepTime, 12.5f);
        EXPECT_EQ(sequence.drawsMade(), 1u);
    }
}

TEST_F(VoxelGrowthTest, AtMostOneStepPerEightyMilliseconds) {
    growth->advance(5.0f);
    growth->advance(5.05f);
    EXPECT_EQ(growth->cubeCount, 2);
    growth->advance(5.079f);
    EXPECT_EQ(growth->cubeCount, 2);
    EXPECT_FLOAT_EQ(growth->lastStepTime, 5.0f);
    growth->advance(5.09f);
    EXPECT_EQ(growth->cubeCount, 3);
    // Drawn again in the same frame: no second step.
    growth->advance(5.09f);
    EXPECT_EQ(growth->cubeCount, 3);
}

TEST_F(VoxelGrowthTest, StepTestIsStrictAndMadeInDoublePrecision) {
    growth->advance(1.0f);
    ASSERT_EQ(growth->cubeCount, 2);
    // 1.0f + 0.08 is 1.08 in double; the float just below 1.08f does not exceed it, 1.08f does.
    // A float sum (1.0f + 0.08f rounds to 1.08f) would refuse the step at 1.08f.
    growth->advance(std::nextafter(1.08f, 0.0f));
    EXPECT_EQ(growth->cubeCount, 2);
    growth->advance(1.08f);
    EXPECT_EQ(growth->cubeCount, 3);
}

TEST_F(VoxelGrowthTest, MoreThanThreeSecondsSinceTheLastStepStartsAgainWithTwoCubes) {
    for (float t = 1.0f; t < 2.0f; t += 0.1f) {
        growth->advance(t);
    }
    ASSERT_GT(growth->cubeCount, 5);
    const float last = growth->lastStepTime;
    const RandomSequence sequence(31);
    growth->advance(last + 3.5f);
    EXPECT_EQ(growth->cubeCount, 2);
    EXPECT_EQ(countTakenBytes(*growth), 2);
    EXPECT_TRUE(growth->isTaken(32, 32, 32));
    EXPECT_EQ(growth->walker, stepFrom({32, 32, 32}, sequence[0]));
}

TEST_F(VoxelGrowthTest, ExactlyThreeSecondsAfterTheLastStepKeepsTheGrowth) {
    growth->advance(10.0f);
    growth->advance(10.5f);
    ASSERT_EQ(growth->cubeCount, 3);
    growth->advance(13.5f);
    EXPECT_EQ(growth->cubeCount, 4);
    growth->advance(16.5f + 0.001f);
    EXPECT_EQ(growth->cubeCount, 2);
}

TEST_F(VoxelGrowthTest, FourHundredAndOneCubesResetOnTheNextDraw) {
    float t = 0.0f;
    while (growth->cubeCount < VoxelGrowth::largestCubeCount) {
        t += 0.1f;
        growth->advance(t);
        ASSERT_EQ(growth->cubeCount, countTakenBytes(*growth));
    }
    // With 400 cubes a frame still adds the 401st.
    t += 0.1f;
    growth->advance(t);
    EXPECT_EQ(growth->cubeCount, 401);
    EXPECT_EQ(countTakenBytes(*growth), 401);

    auto copy = std::make_unique<VoxelGrowth>(*growth);
    // Within 0.08 s of the last step: reset with no step, one cube.
    growth->advance(t + 0.05f);
    EXPECT_EQ(growth->cubeCount, 1);
    EXPECT_EQ(takenCells(*growth), (std::vector<Cell>{{32, 32, 32}}));
    // Later than that: reset and the first step, two cubes.
    copy->advance(t + 0.1f);
    EXPECT_EQ(copy->cubeCount, 2);
    EXPECT_EQ(countTakenBytes(*copy), 2);
}

// The walker at (32, 32, 32) with all six cells two away taken.
void boxIn(VoxelGrowth& growth) {
    for (int draw = 0; draw < 6; ++draw) {
        take(growth, stepFrom({32, 32, 32}, draw));
    }
}

TEST_F(VoxelGrowthTest, BoxedInWalkerRelocatesFromTheEleventhFailure) {
    boxIn(*growth);
    const RandomSequence sequence(2024);
    // Eleven failed directions, then x, y and z of the new spot, each 10..59.
    const Cell relocated = {sequence[11] % 50 + 10, sequence[12] % 50 + 10, sequence[13] % 50 + 10};
    const Cell expected = stepFrom(relocated, sequence[14]);
    ASSERT_FALSE(growth->isTaken(expected[0], expected[1], expected[2]));
    growth->walk();
    EXPECT_EQ(growth->walker, expected);
    EXPECT_TRUE(growth->isTaken(expected[0], expected[1], expected[2]));
    // The relocated spot itself is not taken.
    EXPECT_FALSE(growth->isTaken(relocated[0], relocated[1], relocated[2]));
    EXPECT_EQ(growth->cubeCount, 8);
    EXPECT_EQ(countTakenBytes(*growth), 8);
    EXPECT_EQ(sequence.drawsMade(), 15u);
}

TEST_F(VoxelGrowthTest, FailureCountIsNotResetAfterARelocation) {
    // Every cell taken but the plane x = 61: only a relocation to x = 59 followed by the
    // direction x + 2 can succeed, and every failure after the eleventh relocates again.
    growth->grid.fill(1);
    for (int y = 0; y < VoxelGrowth::side; ++y) {
        for (int z = 0; z < VoxelGrowth::side; ++z) {
            growth->grid[VoxelGrowth::cellIndex(61, y, z)] = 0;
        }
    }
    const RandomSequence sequence(77, 20000);
    growth->walk();

    std::size_t next = 11;
    Cell expected{};
    for (;;) {
        ASSERT_LT(next + 4, sequence.size());
        const Cell relocated = {sequence[next] % 50 + 10, sequence[next + 1] % 50 + 10,
                                sequence[next + 2] % 50 + 10};
        const int direction = sequence[next + 3] % 6;
        next += 4;
        if (relocated[0] == 59 && direction == 1) {
            expected = stepFrom(relocated, direction);
            break;
        }
    }
    EXPECT_EQ(growth->walker, expected);
    EXPECT_EQ(expected[0], 61);
    EXPECT_EQ(sequence.drawsMade(), next);
}

class VoxelBoundTest : public VoxelGrowthTest, public ::testing::WithParamInterface<int> {};

// A walker on the outermost even cell of an axis whose only free way leads off the grid (to
// coordinate 0 or 64) must refuse it and relocate.
TEST_P(VoxelBoundTest, StepOffTheGridIsRefused) {
    const int direction = GetParam();
    const auto axis = static_cast<std::size_t>(direction / 2);
    Cell start = {32, 32, 32};
    start[axis] = direction % 2 == 0 ? 2 : 62;
    growth->reset();
    growth->grid[VoxelGrowth::cellIndex(32, 32, 32)] = 0;
    growth->cubeCount = 0;
    take(*growth, start);
    growth->walker = start;
    for (int other = 0; other < 6; ++other) {
        if (other != direction) {
            take(*growth, stepFrom(start, other));
        }
    }
    const int before = growth->cubeCount;
    const RandomSequence sequence(static_cast<std::uint32_t>(300 + direction));
    growth->walk();
    EXPECT_EQ(growth->cubeCount, before + 1);
    EXPECT_EQ(countTakenBytes(*growth), before + 1);
    // Eleven failures in a row, then a relocation: the step never went off the grid.
    EXPECT_GE(sequence.drawsMade(), 15u);
    for (const Cell& cell : takenCells(*growth)) {
        for (const int coordinate : cell) {
            EXPECT_GT(coordinate, 0);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryDirection, VoxelBoundTest, ::testing::Range(0, 6));

TEST_F(VoxelGrowthTest, LongGrowthNeverTakesACellWithACoordinateOfZero) {
    for (std::uint32_t seed : {11u, 22u, 33u}) {
        seedRandom(seed);
        auto longGrowth = std::make_unique<VoxelGrowth>();
        for (int i = 0; i < 20000; ++i) {
            longGrowth->walk();
        }
        EXPECT_EQ(longGrowth->cubeCount, 20001);
        EXPECT_EQ(countTakenBytes(*longGrowth), 20001);
        bool reachedTheEdge = false;
        longGrowth->forEachTakenCell([&](int x, int y, int z) {
            EXPECT_TRUE(x > 0 && y > 0 && z > 0) << x << ", " << y << ", " << z;
            reachedTheEdge = reachedTheEdge || x <= 2 || y <= 2 || z <= 2;
        });
        EXPECT_TRUE(reachedTheEdge) << "seed " << seed;
    }
}

TEST_F(VoxelGrowthTest, ScanVisitsTakenCellsInGridOrder) {
    growth->reset();
    const std::vector<Cell> cells = {{0, 0, 0},    {0, 0, 63}, {0, 5, 1},    {1, 0, 0},
                                     {32, 32, 32}, {40, 2, 9}, {63, 63, 62}, {63, 63, 63}};
    for (const Cell& cell : cells) {
        take(*growth, cell);
    }
    EXPECT_EQ(takenCells(*growth), cells);
}

} // namespace
