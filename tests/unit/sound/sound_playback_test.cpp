#include "sound_test_support.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace {

using platform::SoundStream;
using platform::SoundSystem;
using soundtest::frameRange;
using soundtest::TestLoop;

// Two loops that differ everywhere, each long enough for the demo's 14674/14830 ms marks.
class OfflinePlaybackTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        directory = new ScratchDirectory;
        loopA = new TestLoop(
            soundtest::makeLoop(directory->file("a.mp3"), soundtest::makeSignal(661500, 2, 44100)));
        // Reversed and nearly full scale, so that the two together clip.
        auto other = soundtest::makeSignal(88200, 2, 44100);
        std::reverse(other.begin(), other.end());
        for (auto& sample : other) {
            sample = static_cast<std::int16_t>(sample * 19 / 10);
        }
        loopB = new TestLoop(soundtest::makeLoop(directory->file("b.mp3"), other));
    }
    static void TearDownTestSuite() {
        delete loopA;
        delete loopB;
        delete directory;
    }

    void SetUp() override {
        platform::selectSoundOutput(sound, platform::SoundOutput::offline);
        ASSERT_TRUE(sound.initialise(44100, 16, 0));
        a = sound.openStream(loopA->path.c_str());
        b = sound.openStream(loopB->path.c_str());
        ASSERT_NE(a, nullptr);
        ASSERT_NE(b, nullptr);
    }

    std::vector<std::int16_t> heard(std::size_t from, std::size_t count) const {
        return frameRange(platform::offlineSoundRecording(sound), from, count);
    }
    void advance(std::uint32_t frames) { platform::advanceOfflineSound(sound, frames); }

    static inline ScratchDirectory* directory = nullptr;
    static inline TestLoop* loopA = nullptr;
    static inline TestLoop* loopB = nullptr;
    SoundSystem sound;
    SoundStream* a = nullptr;
    SoundStream* b = nullptr;
};

TEST_F(OfflinePlaybackTest, PositionsAdvanceByExactlyTheFramesPlayed) {
    sound.playStream(0, a);
    EXPECT_EQ(sound.streamPosition(a), 0);
    advance(44);
    EXPECT_EQ(sound.streamPosition(a), 0); // 44 frames are 0.998 ms
    advance(1);
    EXPECT_EQ(sound.streamPosition(a), 1);
    advance(44100 - 45);
    EXPECT_EQ(sound.streamPosition(a), 1000);
    for (int i = 0; i < 100; ++i) {
        advance(441);
    }
    EXPECT_EQ(sound.streamPosition(a), 2000);
    EXPECT_EQ(sound.streamPosition(b), 0) << "a stream that was never played stays put";
    EXPECT_EQ(heard(0, 88200), frameRange(loopA->decoded, 0, 88200));
}

TEST_F(OfflinePlaybackTest, PlayReplacesTheStreamHeardAndTheReplacedKeepsItsPosition) {
    sound.playStream(0, a);
    advance(44100);
    sound.playStream(0, b);
    advance(22050);
    EXPECT_EQ(sound.streamPosition(a), 1000);
    EXPECT_EQ(sound.streamPosition(b), 500);
    EXPECT_EQ(heard(0, 44100), frameRange(loopA->decoded, 0, 44100));
    EXPECT_EQ(heard(44100, 22050), frameRange(loopB->decoded, 0, 22050));

    // Back on the channel, it goes on from where it was left.
    sound.playStream(0, a);
    advance(4410);
    EXPECT_EQ(sound.streamPosition(a), 1100);
    EXPECT_EQ(sound.streamPosition(b), 500);
    EXPECT_EQ(heard(66150, 4410), frameRange(loopA->decoded, 44100, 4410));
}

TEST_F(OfflinePlaybackTest, PlayingTheStreamAlreadyHeardGoesOnWithoutASeam) {
    sound.playStream(0, a);
    advance(1000);
    sound.playStream(0, a);
    advance(1205);
    EXPECT_EQ(sound.streamPosition(a), 50); // 2205 frames
    EXPECT_EQ(heard(0, 2205), frameRange(loopA->decoded, 0, 2205));
}

TEST_F(OfflinePlaybackTest, SettingPositionZeroRewinds) {
    sound.playStream(0, a);
    advance(44100);
    sound.setStreamPosition(a, 0);
    EXPECT_EQ(sound.streamPosition(a), 0);
    advance(441);
    EXPECT_EQ(sound.streamPosition(a), 10);
    EXPECT_EQ(heard(44100, 441), frameRange(loopA->decoded, 0, 441));
}

TEST_F(OfflinePlaybackTest, ARewoundStreamThatIsNotPlayingStaysAtZero) {
    sound.playStream(0, b);
    advance(4410);
    sound.playStream(0, a);
    sound.setStreamPosition(b, 0);
    advance(44100);
    EXPECT_EQ(sound.streamPosition(b), 0);
    sound.playStream(0, b);
    advance(441);
    EXPECT_EQ(heard(48510, 441), frameRange(loopB->decoded, 0, 441));
}

TEST_F(OfflinePlaybackTest, AStreamPlayedToItsEndStopsAndReportsItsLength) {
    sound.playStream(0, b);
    const std::uint32_t length = loopB->frames();
    advance(length + 10000);
    EXPECT_EQ(sound.streamPosition(b), loopB->lengthMilliseconds());
    EXPECT_EQ(heard(0, length), loopB->decoded);
    EXPECT_EQ(heard(length, 10000), std::vector<std::int16_t>(20000, 0));

    // Played again without a rewind it has nothing left; rewound it starts over.
    sound.playStream(0, a);
    sound.playStream(0, b);
    advance(4410);
    EXPECT_EQ(sound.streamPosition(b), loopB->lengthMilliseconds());
    sound.setStreamPosition(b, 0);
    advance(4410);
    EXPECT_EQ(sound.streamPosition(b), 100);
    EXPECT_EQ(heard(length + 14410, 4410), frameRange(loopB->decoded, 0, 4410));
}

TEST_F(OfflinePlaybackTest, PositionsSetInMillisecondsReadBackUnchanged) {
    // The demo's boundaries must land on the millisecond it compares with.
    for (const std::uint32_t milliseconds : {1u, 999u, 1000u, 14674u, 14675u, 14830u, 14831u}) {
        SCOPED_TRACE(milliseconds);
        sound.setStreamPosition(a, milliseconds);
        EXPECT_EQ(sound.streamPosition(a), std::int32_t(milliseconds));
    }
    sound.playStream(0, a);
    sound.setStreamPosition(a, 14675);
    EXPECT_EQ(sound.streamPosition(a), 14675);
    advance(7);
    EXPECT_EQ(sound.streamPosition(a), 14675);
    // Past the end, it stops at the end.
    sound.setStreamPosition(b, 60000);
    EXPECT_EQ(sound.streamPosition(b), loopB->lengthMilliseconds());
    sound.setStreamPosition(b, 0xffffffffu);
    EXPECT_EQ(sound.streamPosition(b), loopB->lengthMilliseconds());
}

TEST_F(OfflinePlaybackTest, ChannelsAddUpAndSaturate) {
    sound.playStream(0, a);
    sound.playStream(1, b);
    advance(44100);
    const auto mixed = heard(0, 44100);
    const auto first = frameRange(loopA->decoded, 0, 44100);
    const auto second = frameRange(loopB->decoded, 0, 44100);
    int clipped = 0;
    for (std::size_t i = 0; i < mixed.size(); ++i) {
        const int sum = first[i] + second[i];
        ASSERT_EQ(mixed[i], std::clamp(sum, -32768, 32767)) << "sample " << i;
        clipped += sum != mixed[i];
    }
    EXPECT_GT(clipped, 0) << "the loud test signals should have hit the limit somewhere";
    EXPECT_EQ(sound.streamPosition(a), 1000);
    EXPECT_EQ(sound.streamPosition(b), 1000);
}

TEST_F(OfflinePlaybackTest, AStreamPlaysOnOneChannelAtMost) {
    sound.playStream(0, a);
    advance(4410);
    sound.playStream(3, a);
    advance(4410);
    EXPECT_EQ(sound.streamPosition(a), 200) << "moved, not doubled";
    EXPECT_EQ(heard(0, 8820), frameRange(loopA->decoded, 0, 8820));
    // Channel 0 lost it: playing b there leaves a playing on channel 3.
    sound.playStream(0, b);
    advance(441);
    EXPECT_EQ(sound.streamPosition(a), 210);
}

TEST_F(OfflinePlaybackTest, NullSilencesAChannelAndUnknownChannelsAreIgnored) {
    sound.playStream(0, a);
    advance(441);
    sound.playStream(0, nullptr);
    advance(441);
    EXPECT_EQ(sound.streamPosition(a), 10);
    EXPECT_EQ(heard(441, 441), std::vector<std::int16_t>(882, 0));

    sound.playStream(16, b);
    sound.playStream(-1, b);
    advance(441);
    EXPECT_EQ(sound.streamPosition(b), 0);
    EXPECT_EQ(heard(882, 441), std::vector<std::int16_t>(882, 0));
}

TEST_F(OfflinePlaybackTest, ReinitialisingVoidsTheOldStreamsAndStartsAFreshRecording) {
    sound.playStream(0, a);
    advance(44100);
    ASSERT_EQ(sound.streamPosition(a), 1000);
    ASSERT_TRUE(sound.initialise(44100, 16, 0));
    EXPECT_EQ(platform::offlineSoundRecording(sound).size(), 0u);
    EXPECT_EQ(sound.streamPosition(a), 0);
    sound.playStream(0, a); // a handle of the previous run: ignored, nothing plays
    sound.setStreamPosition(a, 500);
    advance(441);
    EXPECT_EQ(heard(0, 441), std::vector<std::int16_t>(882, 0));

    SoundStream* again = sound.openStream(loopA->path.c_str());
    sound.playStream(0, again);
    advance(441);
    EXPECT_EQ(sound.streamPosition(again), 10);
    EXPECT_EQ(heard(441, 441), frameRange(loopA->decoded, 0, 441));
}

TEST(SoundSystemTest, RefusesParametersItCannotServe) {
    SoundSystem sound;
    platform::selectSoundOutput(sound, platform::SoundOutput::offline);
    EXPECT_EQ(sound.openStream("anything.mp3"), nullptr) << "nothing opens before initialise";
    EXPECT_FALSE(sound.initialise(44100, 16, 1));
    EXPECT_FALSE(sound.initialise(0, 16, 0));
    EXPECT_FALSE(sound.initialise(-44100, 16, 0));
    EXPECT_FALSE(sound.initialise(44100, 0, 0));
    EXPECT_EQ(sound.openStream("anything.mp3"), nullptr) << "a refused initialise leaves it closed";
    EXPECT_EQ(sound.streamPosition(nullptr), 0);
    EXPECT_TRUE(sound.initialise(44100, 1, 0));
    EXPECT_EQ(platform::soundMixRate(sound), 44100);
}

} // namespace
