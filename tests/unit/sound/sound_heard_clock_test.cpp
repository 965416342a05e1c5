#include "platform/sound_heard_clock.h"

#include <gtest/gtest.h>

namespace {

using platform::HeardClock;
using std::chrono::milliseconds;

// At 1000 frames a second a frame is a millisecond, which keeps the arithmetic readable.
constexpr int rate = 1000;
const HeardClock::TimePoint start{std::chrono::seconds(1000)};

TEST(HeardClockTest, NothingIsHeardBeforeTheFirstBuffer) {
    const HeardClock clock(rate, 100);
    EXPECT_EQ(clock.heardFrame(start + milliseconds(500)), 0u);
}

TEST(HeardClockTest, TheListenerIsTheQueuePlusOneBufferBehindWhatWasTaken) {
    HeardClock clock(rate, 100);
    clock.bufferTaken(100, start);
    EXPECT_EQ(clock.heardFrame(start), 0u) << "clamped, not wrapped around";
    clock.bufferTaken(100, start + milliseconds(100));
    clock.bufferTaken(100, start + milliseconds(200));
    EXPECT_EQ(clock.framesTaken(), 300u);
    EXPECT_EQ(clock.heardFrame(start + milliseconds(200)), 100u);
    EXPECT_EQ(clock.heardFrame(start + milliseconds(250)), 150u);
}

TEST(HeardClockTest, ALateBufferHoldsTheListenerAtTheQueue) {
    HeardClock clock(rate, 100);
    clock.bufferTaken(100, start);
    clock.bufferTaken(100, start + milliseconds(100));
    EXPECT_EQ(clock.heardFrame(start + milliseconds(190)), 90u);
    EXPECT_EQ(clock.heardFrame(start + milliseconds(400)), 100u);
    EXPECT_EQ(clock.heardFrame(start + std::chrono::hours(100)), 100u);
}

TEST(HeardClockTest, AnEarlyBufferMovesTheListenerOnNotBack) {
    HeardClock clock(rate, 100);
    clock.bufferTaken(100, start);
    clock.bufferTaken(100, start + milliseconds(100));
    const auto before = clock.heardFrame(start + milliseconds(130));
    EXPECT_EQ(before, 30u);
    clock.bufferTaken(100, start + milliseconds(130));
    EXPECT_EQ(clock.heardFrame(start + milliseconds(130)), 100u);
}

TEST(HeardClockTest, NeverGoesBackUnderAnIrregularDevice) {
    HeardClock clock(44100, 1024);
    auto now = start;
    std::uint64_t previous = 0;
    // Buffers come 5 to 40 ms apart; the listener is asked every millisecond in between.
    for (int buffer = 0; buffer < 400; ++buffer) {
        clock.bufferTaken(1024, now);
        const int gap = 5 + (buffer * 37) % 36;
        for (int step = 0; step < gap; ++step) {
            const auto heard = clock.heardFrame(now + milliseconds(step));
            ASSERT_GE(heard, previous) << "buffer " << buffer << ", step " << step;
            ASSERT_LE(heard + 1024, clock.framesTaken());
            previous = heard;
        }
        now += milliseconds(gap);
    }
    EXPECT_GT(previous, 300000u);
}

} // namespace
