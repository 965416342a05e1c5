#include "effects/water_ripple.h"

#include <gtest/gtest.h>

namespace {

constexpr int columns = WaterRipple::columns;
constexpr int rows = WaterRipple::rows;

std::size_t cell(int row, int column) {
    return static_cast<std::size_t>(row * columns + column);
}

bool isBorder(int row, int column) {
    return row == 0 || row == rows - 1 || column == 0 || column == columns - 1;
}

// Every cell of the field against a list of the non-zero ones.
void expectField(const WaterRipple::HeightField& field,
                 const std::vector<std::tuple<int, int, int>>& nonZero) {
    WaterRipple::HeightField expected{};
    for (const auto& [row, column, value] : nonZero) {
        expected[cell(row, column)] = static_cast<std::int16_t>(value);
    }
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            EXPECT_EQ(field[cell(row, column)], expected[cell(row, column)])
                << "row " << row << ", column " << column;
        }
    }
}

TEST(WaterRippleTest, ConstructionMarksExactlyTheBorderAndStartsFlat) {
    const WaterRipple water;
    int borderCells = 0;
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            EXPECT_EQ(water.fixedMask[cell(row, column)] != 0, isBorder(row, column))
                << "row " << row << ", column " << column;
            borderCells += water.fixedMask[cell(row, column)] != 0 ? 1 : 0;
        }
    }
    EXPECT_EQ(borderCells, 220);
    expectField(water.heights, {});
    expectField(water.previousHeights, {});
}

TEST(WaterRippleTest, FlatWaterStaysFlat) {
    WaterRipple water;
    for (int i = 0; i < 200; ++i) {
        water.step();
    }
    expectField(water.heights, {});
    expectField(water.previousHeights, {});
}

TEST(WaterRippleTest, SpikeSpreadsExactlyOverItsFirstTwoSteps) {
    WaterRipple water;
    water.heights[cell(20, 30)] = 1024;

    water.step();
    expectField(water.heights, {{19, 30, 512}, {21, 30, 512}, {20, 29, 512}, {20, 31, 512}});
    // The buffers were exchanged: the heights before the step are now the previous ones.
    expectField(water.previousHeights, {{20, 30, 1024}});

    water.step();
    expectField(water.heights, {{19, 29, 512},
                                {19, 31, 512},
                                {21, 29, 512},
                                {21, 31, 512},
                                {18, 30, 256},
                                {22, 30, 256},
                                {20, 28, 256},
                                {20, 32, 256}});
}

TEST(WaterRippleTest, BorderCellsAreForcedToZeroInBothBuffers) {
    WaterRipple water;
    for (std::size_t i = 0; i < WaterRipple::cellCount; ++i) {
        if (water.fixedMask[i] != 0) {
            water.heights[i] = 700;
            water.previousHeights[i] = -300;
        }
    }
    water.step();
    for (std::size_t i = 0; i < WaterRipple::cellCount; ++i) {
        if (water.fixedMask[i] != 0) {
            EXPECT_EQ(water.heights[i], 0) << "cell " << i;
        }
    }
    // The old border heights still reach their interior neighbours once: (1, 1) touches two.
    EXPECT_EQ(water.heights[cell(1, 1)], 700);
    EXPECT_EQ(water.heights[cell(1, 5)], 350);

    water.step();
    for (std::size_t i = 0; i < WaterRipple::cellCount; ++i) {
        if (water.fixedMask[i] != 0) {
            EXPECT_EQ(water.heights[i], 0) << "cell " << i;
            EXPECT_EQ(water.previousHeights[i], 0) << "cell " << i;
        }
    }
}

// One interior cell's update with its four neighbours all at `neighbour`.
std::int16_t stepped(std::int16_t neighbour, std::int16_t previous) {
    WaterRipple water;
    for (const auto& [row, column] : {std::pair{9, 10}, {11, 10}, {10, 9}, {10, 11}}) {
        water.heights[cell(row, column)] = neighbour;
    }
    water.previousHeights[cell(10, 10)] = previous;
    water.step();
    return water.heights[cell(10, 10)];
}

TEST(WaterRippleTest, OverflowWrapsModulo65536InsteadOfSaturating) {
    // 65534 + 32768 = 98302 wraps to 32766; damped by 31 to 32735.
    EXPECT_EQ(stepped(32767, -32768), 32735);
    // -65536 - 32767 = -98303 wraps to -32767; damped by -32 to -32735.
    EXPECT_EQ(stepped(-32768, 32767), -32735);
}

TEST(WaterRippleTest, ShiftsRoundTowardsMinusInfinity) {
    // Damping: 0..1023 stays, -1024..-1 moves one unit towards 0.
    EXPECT_EQ(stepped(0, -5), 5);
    EXPECT_EQ(stepped(0, -1023), 1023);
    EXPECT_EQ(stepped(0, -1024), 1023);
    EXPECT_EQ(stepped(0, 5), -4);
    EXPECT_EQ(stepped(0, 1), 0);
    EXPECT_EQ(stepped(0, 1024), -1023);
    // The half-sum of -3 is -2, not -1, and the damping then takes it to -1 rather than 0.
    WaterRipple water;
    water.heights[cell(9, 10)] = -1;
    water.heights[cell(11, 10)] = -1;
    water.heights[cell(10, 9)] = -1;
    water.step();
    EXPECT_EQ(water.heights[cell(10, 10)], -1);
}

TEST(WaterRippleTest, SmoothedHeightSumsTheEightNeighboursOverNine) {
    WaterRipple water;
    for (int row = 9; row <= 11; ++row) {
        for (int column = 19; column <= 21; ++column) {
            water.previousHeights[cell(row, column)] = 10;
        }
    }
    water.previousHeights[cell(10, 20)] = 5000; // the centre itself is left out
    EXPECT_EQ(water.smoothedHeight(10, 20), 80 / 9);
    water.previousHeights[cell(9, 19)] = -107;
    // -107 + 70 = -37: divided by 9 truncates towards zero, to -4, not -5.
    EXPECT_EQ(water.smoothedHeight(10, 20), -4);
}

TEST(WaterRippleTest, SmoothingReadsCellsOutsideTheFieldAsZero) {
    WaterRipple water;
    water.previousHeights.fill(90);
    EXPECT_EQ(water.smoothedHeight(10, 10), 80);
    // Corners have three neighbours inside, edges five.
    EXPECT_EQ(water.smoothedHeight(0, 0), 30);
    EXPECT_EQ(water.smoothedHeight(rows - 1, columns - 1), 30);
    EXPECT_EQ(water.smoothedHeight(0, 30), 50);
    EXPECT_EQ(water.smoothedHeight(rows - 1, 30), 50);
    EXPECT_EQ(water.smoothedHeight(20, 0), 50);
    EXPECT_EQ(water.smoothedHeight(20, columns - 1), 50);
    // Column 64 of row 20 is not cell 0 of row 21, however the index runs on.
    water.previousHeights.fill(0);
    water.previousHeights[cell(21, 0)] = 900;
    water.previousHeights[cell(20, 0)] = 900;
    EXPECT_EQ(water.smoothedHeight(20, columns - 1), 0);
    EXPECT_EQ(water.smoothedHeight(19, columns - 1), 0);
}

} // namespace
