#include "platform/sound_mixer.h"
#include "platform/sound_stream.h"
#include "sound_test_support.h"

#include <gtest/gtest.h>

namespace {

using platform::SoundMixer;
using platform::SoundStream;

// The mixer against a device whose listener lags behind the frames it has mixed, as a real
// sound card's does: positions follow the listener, playback follows the mix.
class LaggingDeviceMixerTest : public ::testing::Test {
protected:
    void SetUp() override {
        loop = soundtest::makeLoop(directory.file("a.mp3"), soundtest::makeSignal(20000, 2, 44100));
        stream = openStream(loop.path);
    }

    std::unique_ptr<SoundStream> openStream(const std::string& path) {
        auto decoder = std::make_unique<platform::SoundDecoder>();
        std::string reason;
        EXPECT_EQ(decoder->open(path.c_str(), 44100, reason), platform::DecodeResult::decoded);
        auto opened = std::make_unique<SoundStream>(path, std::move(decoder));
        opened->finishDecoding();
        return opened;
    }

    // Mixes the next frames and returns them.
    std::vector<std::int16_t> mix(std::uint32_t frames) {
        std::vector<std::int16_t> output(frames * 2);
        mixer.mix(output.data(), frames, next);
        next += frames;
        return output;
    }

    ScratchDirectory directory;
    soundtest::TestLoop loop;
    std::unique_ptr<SoundStream> stream;
    SoundMixer mixer{16};
    std::uint64_t next = 1000;
};

TEST_F(LaggingDeviceMixerTest, APositionStandsStillUntilTheRunReachesTheListener) {
    mixer.play(0, stream.get(), next);
    mix(1024);
    mix(1024);
    EXPECT_EQ(SoundMixer::heardPosition(*stream, 0), 0u);
    EXPECT_EQ(SoundMixer::heardPosition(*stream, 1000), 0u);
    EXPECT_EQ(SoundMixer::heardPosition(*stream, 1500), 500u);
    EXPECT_EQ(SoundMixer::heardPosition(*stream, 3048), 2048u);
}

TEST_F(LaggingDeviceMixerTest, PlayingTheStreamAlreadyOnTheChannelLeavesItsPositionSmooth) {
    mixer.play(0, stream.get(), next);
    mix(1024);
    mixer.play(0, stream.get(), next);
    EXPECT_EQ(SoundMixer::heardPosition(*stream, 1500), 500u) << "no jump to the mix cursor";
    EXPECT_EQ(mix(1024), soundtest::frameRange(loop.decoded, 1024, 1024));
}

TEST_F(LaggingDeviceMixerTest, AReplacedStreamResumesWhereTheMixLeftIt) {
    const auto other = openStream(
        soundtest::writeMp3(directory.file("b.mp3"), soundtest::makeSignal(5000, 2, 44100)));
    mixer.play(0, stream.get(), next);
    mix(1024);
    mixer.play(0, other.get(), next);
    // Its last samples are still on their way, but it will go on after them, repeating none.
    EXPECT_EQ(SoundMixer::heardPosition(*stream, 1500), 1024u);
    mix(1024);
    mixer.play(0, stream.get(), next);
    EXPECT_EQ(mix(1024), soundtest::frameRange(loop.decoded, 1024, 1024));
}

TEST_F(LaggingDeviceMixerTest, ARewindHoldsAtZeroUntilTheRewoundRunIsHeard) {
    mixer.play(0, stream.get(), next);
    mix(4096);
    SoundMixer::seek(*stream, 0, next);
    EXPECT_EQ(SoundMixer::heardPosition(*stream, 3000), 0u);
    EXPECT_EQ(mix(512), soundtest::frameRange(loop.decoded, 0, 512));
    EXPECT_EQ(SoundMixer::heardPosition(*stream, 5096 + 300), 300u);
}

// A device lost mid-run: the new one plays on from what was heard, repeating what the old one had
// taken but never played.
TEST_F(LaggingDeviceMixerTest, ANewDeviceGoesOnFromWhatWasHeard) {
    mixer.play(0, stream.get(), next);
    mix(4096);
    mixer.moveToDevice(1000 + 3000, 0);
    next = 0;
    EXPECT_EQ(SoundMixer::heardPosition(*stream, 0), 3000u);
    EXPECT_EQ(SoundMixer::heardPosition(*stream, 500), 3500u);
    EXPECT_EQ(mix(1024), soundtest::frameRange(loop.decoded, 3000, 1024));
}

} // namespace
