#include "platform/sound_heard_clock.h"
#include "platform/sound_stall_watch.h"

#include <gtest/gtest.h>
#include <optional>

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

// The host looks every 20 ms, as a frame loop does, from first until last; progress stands still
// from standFrom on. The first look that calls it a stall, or none.
std::optional<milliseconds> firstStall(std::uint64_t progress, milliseconds standFrom,
                                       milliseconds first, milliseconds last) {
    platform::StallWatch watch(2048);
    for (milliseconds look = first; look <= last; look += milliseconds(20)) {
        const std::uint64_t taken = look < standFrom ? progress + look.count() : progress;
        if (watch.stalled(taken, start + look)) {
            return look;
        }
    }
    return std::nullopt;
}

TEST(StallWatchTest, ADeviceStandingStillForHalfASecondHasStalledOnlyThen) {
    EXPECT_EQ(firstStall(4096, milliseconds(1000), milliseconds(0), milliseconds(5000)),
              milliseconds(1500));
    EXPECT_EQ(firstStall(4096, milliseconds(5000), milliseconds(0), milliseconds(5000)),
              std::nullopt);
}

TEST(StallWatchTest, TheServersFirstRequestMayComeSecondsLate) {
    EXPECT_EQ(firstStall(0, milliseconds(0), milliseconds(0), milliseconds(3900)), std::nullopt);
    // The first buffers are taken at once, ahead of the request.
    EXPECT_EQ(firstStall(2048, milliseconds(0), milliseconds(0), milliseconds(3900)), std::nullopt);
    EXPECT_EQ(firstStall(2048, milliseconds(0), milliseconds(0), milliseconds(5000)),
              milliseconds(4000));
}

TEST(StallWatchTest, AProcessHeldUpIsNoStallOfTheDevice) {
    platform::StallWatch watch(2048);
    EXPECT_FALSE(watch.stalled(4096, start));
    // Stopped for 20 s and continued: the device has had no chance to take anything yet.
    EXPECT_FALSE(watch.stalled(4096, start + std::chrono::seconds(20)));
    EXPECT_FALSE(watch.stalled(5120, start + std::chrono::milliseconds(20030)));
    // A frame that took a whole second is no stall either, but a watched standstill is.
    EXPECT_FALSE(watch.stalled(5120, start + std::chrono::milliseconds(21030)));
    EXPECT_FALSE(watch.stalled(5120, start + std::chrono::milliseconds(21330)));
    EXPECT_TRUE(watch.stalled(5120, start + std::chrono::milliseconds(21630)));
}

} // namespace
