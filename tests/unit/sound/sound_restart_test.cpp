#include "sound_test_support.h"

#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

std::size_t residentBytes() {
    std::ifstream statm("/proc/self/statm");
    std::size_t total = 0;
    std::size_t resident = 0;
    statm >> total >> resident;
    return resident * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

// Every start-up opens the five loops anew; the restart after F1 must not pile them up.
TEST(SoundRestartTest, RestartsReuseTheSameMemory) {
    ScratchDirectory directory;
    const std::string path =
        soundtest::writeMp3(directory.file("loop.mp3"), soundtest::makeSignal(661500, 2, 44100));
    platform::SoundSystem sound;
    platform::selectSoundOutput(sound, platform::SoundOutput::offline);
    auto startUp = [&] {
        ASSERT_TRUE(sound.initialise(44100, 16, 0));
        for (int i = 0; i < 5; ++i) {
            platform::SoundStream* stream = sound.openStream(path.c_str());
            sound.playStream(0, stream); // waits for the decoding
            ASSERT_EQ(sound.streamPosition(stream), 0);
        }
    };
    startUp();
    const std::size_t afterFirst = residentBytes();
    for (int restart = 0; restart < 8; ++restart) {
        startUp();
    }
    // One run's five decoded loops take 13 MB: a leak would add that much at every restart,
    // 100 MB in all. The margin of two runs leaves room for an address sanitizer's quarantine,
    // which holds on to the freed file images for a while.
    constexpr std::size_t oneRun = 5 * 661500 * 4;
    EXPECT_LT(residentBytes(), afterFirst + 2 * oneRun);
}

} // namespace
