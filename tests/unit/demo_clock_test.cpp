#include "core/demo_clock.h"
#include "platform/timer.h"

#include <gtest/gtest.h>

namespace {

std::uint32_t fakeNow = 0;
std::uint32_t readFakeNow() {
    return fakeNow;
}

class DemoClockTest : public ::testing::Test {
protected:
    void SetUp() override {
        fakeNow = 5000;
        platform::setTimeSource(readFakeNow);
    }
    void TearDown() override { platform::setTimeSource(nullptr); }
};

TEST_F(DemoClockTest, CountsFromRestartInSeconds) {
    DemoClock clock;
    clock.restart();
    fakeNow += 1000;
    EXPECT_EQ(clock.elapsedSeconds(), 1.0f);
    fakeNow += 102000;
    // The factor is the float nearest 0.001, which lies above it: 103000 ms read above 103.
    EXPECT_EQ(clock.elapsedSeconds(), 103.00000762939453f);
    EXPECT_GT(clock.elapsedSeconds(), 103.0f);
    fakeNow -= 1;
    EXPECT_EQ(clock.elapsedSeconds(), 102.99900817871094f);
}

TEST_F(DemoClockTest, SurvivesTimerWrapAround) {
    fakeNow = 0xFFFFFF00u;
    DemoClock clock;
    clock.restart();
    fakeNow += 0x100u + 250u; // wraps through zero
    EXPECT_EQ(fakeNow, 250u);
    EXPECT_FLOAT_EQ(clock.elapsedSeconds(), 0.506f);
}

TEST_F(DemoClockTest, StoppedClockReadsZeroAndMovesItsOrigin) {
    DemoClock clock;
    clock.restart();
    fakeNow += 4000;
    clock.stop();
    EXPECT_EQ(clock.elapsedSeconds(), 0.0f);
    fakeNow += 3000;
    EXPECT_EQ(clock.elapsedSeconds(), 0.0f);
    clock.start();
    fakeNow += 500;
    // Counts from the last reading while stopped, not from the restart 7.5 s ago.
    EXPECT_EQ(clock.elapsedSeconds(), 0.5f);
}

TEST_F(DemoClockTest, StopAndStartKeepTheOriginAndRestartKeepsTheState) {
    DemoClock clock;
    clock.restart();
    fakeNow += 2000;
    clock.stop();
    clock.start(); // no reading while stopped: the origin stays
    EXPECT_EQ(clock.elapsedSeconds(), 2.0f);
    clock.stop();
    clock.restart();
    fakeNow += 700;
    EXPECT_EQ(clock.elapsedSeconds(), 0.0f); // still stopped
}

TEST_F(DemoClockTest, StartUpSequenceGivesDemoTimeZeroAfterTheMusicStarts) {
    DemoClock clock;
    fakeNow += 60000;
    clock.stop();
    fakeNow += 800; // loading
    clock.start();
    fakeNow += 3; // the music is told to play
    clock.restart();
    EXPECT_EQ(clock.elapsedSeconds(), 0.0f);
    fakeNow += 16;
    EXPECT_EQ(clock.elapsedSeconds(), static_cast<float>(16 * static_cast<double>(0.001f)));
}

} // namespace
