#include "core/demo_clock.h"
#include "platform/sound_system.h"
#include "platform/timer.h"
#include "sound_feed.h"
#include "virtual_clock.h"

#include <gtest/gtest.h>

namespace {

class SoundFeedTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::selectSoundOutput(sound, platform::SoundOutput::offline);
        ASSERT_TRUE(sound.initialise(44100, 16, 0));
    }
    void TearDown() override {
        platform::selectSoundOutput(sound, platform::SoundOutput::audioDevice);
    }

    platform::SoundSystem& sound = platform::soundSystem();
};

TEST_F(SoundFeedTest, FractionalRatesMixExactlyTheFramesDueWithoutDrift) {
    SoundFeed feed(FrameRate(60000, 1001));
    std::size_t total = 0;
    for (std::uint64_t frame = 0; frame < 6000; ++frame) {
        const std::size_t values = feed.mixFrame(frame).size();
        // 735.735 sound frames per picture: 735 or 736, never anything else.
        ASSERT_TRUE(values == 2 * 735 || values == 2 * 736) << frame << ": " << values;
        total += values / 2;
        if (frame == 0) {
            EXPECT_EQ(values, 2u * 735u);
        }
    }
    // 6000 frames at 60000/1001 are exactly 100.1 s.
    EXPECT_EQ(total, 4'414'410u);
    EXPECT_EQ(platform::offlineSoundRecording(sound).size(), 2u * 4'414'410u);
}

TEST_F(SoundFeedTest, ARestartedOutputContinuesTheCountFromTheFramesNumber) {
    SoundFeed feed(FrameRate(60000, 1001));
    for (std::uint64_t frame = 0; frame < 10; ++frame) {
        feed.mixFrame(frame);
    }
    // A restart opens a new output; frame 10 still gets samplesAt(11) - samplesAt(10).
    ASSERT_TRUE(sound.initialise(44100, 16, 0));
    EXPECT_EQ(feed.mixFrame(10).size(), 2u * (8093u - 7357u));
    EXPECT_EQ(platform::offlineSoundRecording(sound).size(), 2u * 736u);
}

TEST(VirtualClockTest, TheTimerWrapsAndDemoTimeStillCountsFromTheStart) {
    VirtualClock clock(FrameRate(60, 1), 4'294'967'000u);
    clock.install();
    EXPECT_EQ(platform::currentMilliseconds(), 4'294'967'000u);
    DemoClock demo;
    demo.restart();
    clock.setFrame(60);
    // Past 2^32: 4294967000 + 1000 wraps to 704.
    EXPECT_EQ(platform::currentMilliseconds(), 704u);
    EXPECT_EQ(demo.elapsedSeconds(), 1.0f);
    clock.setFrame(6180);
    EXPECT_GT(demo.elapsedSeconds(), 103.0f);
    clock.setFrame(6179);
    EXPECT_LT(demo.elapsedSeconds(), 103.0f);
}

TEST(VirtualClockTest, DestroyingTheClockGivesTheRealTimerBack) {
    {
        VirtualClock clock(FrameRate(10, 1), 7u);
        clock.install();
        ASSERT_EQ(platform::currentMilliseconds(), 7u);
    }
    const std::uint32_t first = platform::currentMilliseconds();
    const std::uint32_t second = platform::currentMilliseconds();
    EXPECT_NE(first, 7u);
    EXPECT_LT(second - first, 1000u);
}

} // namespace
