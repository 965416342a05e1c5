#include "platform/fatal_exit.h"
#include "sound_test_support.h"

#include <SDL.h>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

using soundtest::escapeRegex;

class SoundFatalTest : public ::testing::Test {
protected:
    // The default death test style forks at the assertion, where this process runs one thread:
    // the decoding threads only ever start in the child.
    // Opens the file the way the demo does, in the process that is expected to die.
    static void openAndPlay(const std::string& path) {
        platform::SoundSystem& sound = platform::soundSystem();
        platform::selectSoundOutput(sound, platform::SoundOutput::offline);
        sound.initialise(44100, 16, 0);
        platform::SoundStream* stream = sound.openStream(path.c_str());
        sound.playStream(0, stream);
        std::fprintf(stderr, "still running\n");
        std::exit(0);
    }

    ScratchDirectory directory;
};

TEST_F(SoundFatalTest, AMissingFileEndsTheProcessWithTheMeshLoadersMessage) {
    const std::string path = directory.file("loop9.mp3");
    EXPECT_EXIT(openAndPlay(path), testing::ExitedWithCode(1),
                "^File " + escapeRegex(path) + " not found!\n$");
}

TEST_F(SoundFatalTest, AnUndecodableFileEndsTheProcessNamingFileAndReason) {
    const std::string path = directory.file("loop1.mp3");
    ASSERT_TRUE(soundtest::writeBytes(path, std::vector<unsigned char>(5000, 'x')));
    EXPECT_EXIT(openAndPlay(path), testing::ExitedWithCode(1),
                "^Cannot decode " + escapeRegex(path) + ": no MPEG audio frames found\n$");
}

TEST_F(SoundFatalTest, AFaultFoundWhileDecodingInTheBackgroundIsFatalAtFirstUse) {
    auto bytes = soundtest::mp3Bytes(soundtest::makeSignal(44100, 2, 44100), {});
    bytes.resize(3000);
    bytes.insert(bytes.end(), 100000, 0);
    const std::string path = directory.file("loop2.mp3");
    ASSERT_TRUE(soundtest::writeBytes(path, bytes));
    EXPECT_EXIT(openAndPlay(path), testing::ExitedWithCode(1),
                "^Cannot decode " + escapeRegex(path) + ": Failed to find valid MPEG data");
}

// Registered before the sound system opens its device, so it runs after the sound system's own
// teardown and sees what that left.
void reportAudioState() {
    std::fprintf(stderr, "audio %s\n", SDL_GetCurrentAudioDriver() != nullptr ? "open" : "closed");
}

TEST_F(SoundFatalTest, TheFatalPathClosesTheAudioDeviceBeforeTheMessage) {
    const std::string path = directory.file("missing.mp3");
    auto run = [&path] {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        platform::registerTeardown(reportAudioState);
        platform::SoundSystem& sound = platform::soundSystem();
        sound.initialise(44100, 16, 0);
        std::fprintf(stderr, "audio %s\n",
                     SDL_GetCurrentAudioDriver() != nullptr ? "open" : "closed");
        sound.openStream(path.c_str());
        std::exit(0);
    };
    EXPECT_EXIT(run(), testing::ExitedWithCode(1),
                "^audio open\naudio closed\nFile .* not found!\n$");
}

} // namespace
