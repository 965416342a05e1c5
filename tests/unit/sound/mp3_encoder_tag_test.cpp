// The encoder tag decides which decoded samples are the loop where the decoder (a browser's) may
// or may not trim the encoder's delay and padding itself.
#include "mp3_test_files.h"
#include "platform/mp3_encoder_tag.h"
#include "platform/sound_decoder.h"

#include <gtest/gtest.h>
#include <mpg123.h>

namespace {

using platform::gaplessWindow;
using platform::Mp3Layout;
using platform::readMp3Layout;

constexpr int rate = 44100;
constexpr std::uint32_t signalFrames = 30000;

// Every sample the decoder produces, delay and padding included, as a non-trimming decoder gives.
std::vector<std::int16_t> decodeUntrimmed(const std::string& fileName) {
    mpg123_handle* handle = mpg123_new(nullptr, nullptr);
    mpg123_param(handle, MPG123_FLAGS, MPG123_QUIET | MPG123_FORCE_STEREO, 0);
    mpg123_param(handle, MPG123_REMOVE_FLAGS, MPG123_GAPLESS, 0);
    std::vector<std::int16_t> samples;
    if (mpg123_open(handle, fileName.c_str()) == MPG123_OK) {
        std::int16_t chunk[8192];
        std::size_t bytes = 0;
        int result = MPG123_OK;
        while (result == MPG123_OK || result == MPG123_NEW_FORMAT) {
            result = mpg123_read(handle, chunk, sizeof chunk, &bytes);
            samples.insert(samples.end(), chunk, chunk + bytes / sizeof(std::int16_t));
        }
        mpg123_close(handle);
    }
    mpg123_delete(handle);
    return samples;
}

class Mp3EncoderTagTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { mpg123_init(); }

    ScratchDirectory scratch;
    std::vector<std::int16_t> signal = soundtest::makeSignal(signalFrames, 2, rate);
};

TEST_F(Mp3EncoderTagTest, TheTagAnnouncesExactlyTheEncodedFrames) {
    const std::optional<Mp3Layout> layout = readMp3Layout(soundtest::mp3Bytes(signal, {}));
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->sampleRate, rate);
    EXPECT_EQ(layout->taggedFrames, signalFrames);
    EXPECT_GT(layout->encoderDelay, 0u);
}

TEST_F(Mp3EncoderTagTest, TheFirstFrameTellsItsChannelsAndBitRate) {
    struct Case {
        int rate;
        int channels;
        int kilobits;
    };
    // MPEG 1 and MPEG 2, whose bit rate tables differ.
    for (const Case& c : {Case{44100, 2, 192}, Case{22050, 1, 64}}) {
        SCOPED_TRACE(c.rate);
        Mp3Settings settings;
        settings.rate = c.rate;
        settings.channels = c.channels;
        settings.vbrQuality = -1;
        settings.cbrKilobits = c.kilobits;
        const auto source = soundtest::makeSignal(signalFrames, c.channels, c.rate);
        const std::optional<Mp3Layout> layout =
            readMp3Layout(soundtest::mp3Bytes(source, settings));
        ASSERT_TRUE(layout);
        EXPECT_EQ(layout->sampleRate, c.rate);
        EXPECT_EQ(layout->channels, c.channels);
        EXPECT_EQ(layout->bitRate, c.kilobits * 1000);
    }
}

TEST_F(Mp3EncoderTagTest, AnUntrimmedDecodingCutToTheWindowIsTheGaplessDecoding) {
    const std::string file = soundtest::writeMp3(scratch.file("loop.mp3"), signal);
    std::vector<std::int16_t> gapless;
    std::string reason;
    ASSERT_EQ(platform::decodeSoundFile(file.c_str(), rate, gapless, reason),
              platform::DecodeResult::decoded);
    const std::vector<std::int16_t> untrimmed = decodeUntrimmed(file);
    ASSERT_GT(untrimmed.size(), gapless.size());

    const std::optional<Mp3Layout> layout = readMp3Layout(soundtest::mp3Bytes(signal, {}));
    const auto window = gaplessWindow(*layout, untrimmed.size() / 2);
    ASSERT_TRUE(window);
    ASSERT_EQ(window->count * 2, gapless.size());
    const auto first = untrimmed.begin() + static_cast<std::ptrdiff_t>(window->first * 2);
    EXPECT_TRUE(std::equal(gapless.begin(), gapless.end(), first));
}

TEST_F(Mp3EncoderTagTest, TrimmedDecodingsAreKeptWholeAndShortOnesRefused) {
    const std::optional<Mp3Layout> layout = readMp3Layout(soundtest::mp3Bytes(signal, {}));
    ASSERT_TRUE(layout);
    const auto whole = gaplessWindow(*layout, signalFrames);
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->first, 0u);
    EXPECT_EQ(whole->count, signalFrames);
    EXPECT_FALSE(gaplessWindow(*layout, signalFrames - 1));
}

TEST_F(Mp3EncoderTagTest, WithoutATagEverythingDecodedIsKept) {
    Mp3Settings untagged;
    untagged.writeTag = false;
    const std::optional<Mp3Layout> layout = readMp3Layout(soundtest::mp3Bytes(signal, untagged));
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->taggedFrames, 0u);
    const auto window = gaplessWindow(*layout, 31337);
    ASSERT_TRUE(window);
    EXPECT_EQ(window->first, 0u);
    EXPECT_EQ(window->count, 31337u);
}

TEST_F(Mp3EncoderTagTest, AnId3TagIsSkippedAndNonMpegDataRefused) {
    const std::vector<unsigned char> mp3 = soundtest::mp3Bytes(signal, {});
    // 200 bytes of tag body, its size in seven-bit bytes.
    std::vector<unsigned char> tagged = {'I', 'D', '3', 4, 0, 0, 0, 0, 1, 72};
    tagged.resize(tagged.size() + 200, 0xFF);
    tagged.insert(tagged.end(), mp3.begin(), mp3.end());
    const std::optional<Mp3Layout> layout = readMp3Layout(tagged);
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->taggedFrames, signalFrames);

    const std::vector<unsigned char> text = {'n', 'o', 't', ' ', 'M', 'P', '3', '\n'};
    EXPECT_FALSE(readMp3Layout(text));
    EXPECT_FALSE(readMp3Layout(std::span(mp3).first(3)));
}

} // namespace
