#include "sound_test_support.h"

#include <cstring>
#include <fstream>
#include <gtest/gtest.h>

namespace {

std::uint32_t read32(const std::vector<unsigned char>& bytes, std::size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
           std::uint32_t(bytes[at + 3]) << 24;
}

std::uint16_t read16(const std::vector<unsigned char>& bytes, std::size_t at) {
    return std::uint16_t(bytes[at] | bytes[at + 1] << 8);
}

std::vector<unsigned char> readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

class OfflineWavTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::selectSoundOutput(sound, platform::SoundOutput::offline);
        ASSERT_TRUE(sound.initialise(44100, 16, 0));
    }

    ScratchDirectory directory;
    platform::SoundSystem sound;
};

TEST_F(OfflineWavTest, TheRecordingIsWrittenAs16BitStereoAt44100Hz) {
    const auto loop =
        soundtest::makeLoop(directory.file("a.mp3"), soundtest::makeSignal(30000, 2, 44100));
    sound.playStream(0, sound.openStream(loop.path.c_str()));
    platform::advanceOfflineSound(sound, 12345);
    const std::string path = directory.file("music.wav");
    ASSERT_TRUE(platform::writeOfflineSoundWav(sound, path.c_str()));

    const auto bytes = readFile(path);
    const std::uint32_t dataBytes = 12345 * 4;
    ASSERT_EQ(bytes.size(), 44 + dataBytes);
    EXPECT_EQ(std::memcmp(bytes.data(), "RIFF", 4), 0);
    EXPECT_EQ(read32(bytes, 4), 36 + dataBytes);
    EXPECT_EQ(std::memcmp(bytes.data() + 8, "WAVEfmt ", 8), 0);
    EXPECT_EQ(read32(bytes, 16), 16u);
    EXPECT_EQ(read16(bytes, 20), 1u);         // PCM
    EXPECT_EQ(read16(bytes, 22), 2u);         // stereo
    EXPECT_EQ(read32(bytes, 24), 44100u);     // frames per second
    EXPECT_EQ(read32(bytes, 28), 44100u * 4); // bytes per second
    EXPECT_EQ(read16(bytes, 32), 4u);         // bytes per frame
    EXPECT_EQ(read16(bytes, 34), 16u);        // bits per sample
    EXPECT_EQ(std::memcmp(bytes.data() + 36, "data", 4), 0);
    EXPECT_EQ(read32(bytes, 40), dataBytes);
    std::vector<std::int16_t> samples(12345 * 2);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = std::int16_t(read16(bytes, 44 + i * 2));
    }
    EXPECT_EQ(samples, soundtest::frameRange(loop.decoded, 0, 12345));
}

TEST_F(OfflineWavTest, AnEmptyRecordingIsAValidEmptyFile) {
    const std::string path = directory.file("silence.wav");
    ASSERT_TRUE(platform::writeOfflineSoundWav(sound, path.c_str()));
    const auto bytes = readFile(path);
    ASSERT_EQ(bytes.size(), 44u);
    EXPECT_EQ(read32(bytes, 4), 36u);
    EXPECT_EQ(read32(bytes, 40), 0u);
}

TEST_F(OfflineWavTest, AFileThatCannotBeWrittenIsReportedWithItsName) {
    const std::string path = directory.file("no/such/dir/music.wav");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(platform::writeOfflineSoundWav(sound, path.c_str()));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Cannot write " + path + ": No such file or directory\n");
}

TEST_F(OfflineWavTest, AFullDiskIsNoticedWhenTheFileIsClosed) {
    platform::advanceOfflineSound(sound, 100); // small enough to sit in the stdio buffer
    testing::internal::CaptureStderr();
    EXPECT_FALSE(platform::writeOfflineSoundWav(sound, "/dev/full"));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Cannot write /dev/full: No space left on device\n");
}

TEST_F(OfflineWavTest, OnlyTheOfflineOutputHasARecording) {
    platform::SoundSystem live;
    const std::string path = directory.file("live.wav");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(platform::writeOfflineSoundWav(live, path.c_str()));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Cannot write " + path + ": no offline sound output is open\n");
    EXPECT_TRUE(platform::offlineSoundRecording(live).empty());
}

} // namespace
