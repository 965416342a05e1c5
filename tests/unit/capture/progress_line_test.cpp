#include "progress_meter.h"

#include <cstdio>
#include <gtest/gtest.h>

namespace {

TEST(ProgressLineTest, ShowsFramesDemoTimeSpeedAndTimeLeft) {
    EXPECT_EQ(progressLine({50, 100, 2.5, 10.0}, 10),
              "[#####-----]  50/100  2.50 s  10.0 fps  0:05 left");
    EXPECT_EQ(progressLine({60, 6181, 1.0, 25.0}, 10),
              "[----------]  60/6181  1.00 s  25.0 fps  4:05 left");
}

TEST(ProgressLineTest, NoSpeedYetMeansNoEstimateAndOverrunsFillTheBar) {
    EXPECT_EQ(progressLine({0, 20, 0.0, 0.0}, 4), "[----]  0/20  0.00 s  0.0 fps");
    // A run lengthened by F1 passes the first estimate: the bar stays full, never past it.
    EXPECT_EQ(progressLine({30, 20, 3.0, 10.0}, 4), "[####]  30/30  3.00 s  10.0 fps  0:00 left");
}

TEST(ProgressMeterTest, WithoutATerminalOnlyTheSummaryIsWritten) {
    std::FILE* stream = std::tmpfile();
    ASSERT_NE(stream, nullptr);
    ProgressMeter meter(stream, false, 10);
    for (int frame = 1; frame <= 10; ++frame) {
        meter.frameDone(static_cast<unsigned>(frame), frame * 0.1);
    }
    meter.finish("done");
    std::rewind(stream);
    char text[64] = {};
    const std::size_t read = std::fread(text, 1, sizeof text - 1, stream);
    std::fclose(stream);
    EXPECT_EQ(std::string(text, read), "done\n");
}

} // namespace
