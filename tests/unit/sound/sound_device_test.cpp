#include "sound_test_support.h"

#include <SDL.h>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
using platform::SoundStream;
using platform::SoundSystem;

double millisecondsBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// A position read together with the instants just before and after it.
struct Reading {
    Clock::time_point before;
    std::int32_t position = 0;
    Clock::time_point after;
};

Reading readPosition(SoundSystem& sound, const SoundStream* stream) {
    Reading reading;
    reading.before = Clock::now();
    reading.position = sound.streamPosition(stream);
    reading.after = Clock::now();
    return reading;
}

class SoundDeviceTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        directory = new ScratchDirectory;
        loop = new soundtest::TestLoop(soundtest::makeLoop(
            directory->file("loop.mp3"), soundtest::makeSignal(3 * 44100, 2, 44100)));
    }
    static void TearDownTestSuite() {
        delete loop;
        delete directory;
    }

    // Initialises with SDL told to use driver, and returns what it printed on stderr.
    std::string initialiseWithDriver(const char* driver) {
        setenv("SDL_AUDIODRIVER", driver, 1);
        testing::internal::CaptureStderr();
        const bool initialised = sound.initialise(44100, 16, 0);
        const std::string printed = testing::internal::GetCapturedStderr();
        EXPECT_TRUE(initialised);
        return printed;
    }

    // Positions must follow the wall clock within 2 %, allowing for the whole-millisecond
    // reading and for the time each reading took.
    void expectRealTime(const SoundStream* stream, int milliseconds) {
        const Reading first = readPosition(sound, stream);
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
        const Reading last = readPosition(sound, stream);
        const double advanced = last.position - first.position;
        const double shortest = millisecondsBetween(first.after, last.before);
        const double longest = millisecondsBetween(first.before, last.after);
        EXPECT_GE(advanced, shortest * 0.98 - 1.0);
        EXPECT_LE(advanced, longest * 1.02 + 1.0);
    }

    static inline ScratchDirectory* directory = nullptr;
    static inline soundtest::TestLoop* loop = nullptr;
    SoundSystem sound;
};

TEST_F(SoundDeviceTest, WithNoDeviceToOpenASilentDeviceKeepsRealTime) {
    // The disk driver fails to open when its file cannot be created: like a machine with no card.
    setenv("SDL_DISKAUDIOFILE", directory->file("no/such/dir/out.raw").c_str(), 1);
    const std::string warning = initialiseWithDriver("disk");
    EXPECT_TRUE(warning.starts_with("Cannot open an audio device ("));
    EXPECT_TRUE(warning.ends_with("): the music will be silent.\n"));
    EXPECT_EQ(std::count(warning.begin(), warning.end(), '\n'), 1) << warning;

    SoundStream* stream = sound.openStream(loop->path.c_str());
    sound.playStream(0, stream);
    expectRealTime(stream, 600);
}

TEST_F(SoundDeviceTest, AnUnknownDriverAlsoFallsBackToTheSilentDevice) {
    const std::string warning = initialiseWithDriver("no-such-audio-driver");
    EXPECT_TRUE(warning.ends_with("): the music will be silent.\n")) << warning;
    SoundStream* stream = sound.openStream(loop->path.c_str());
    sound.playStream(0, stream);
    expectRealTime(stream, 300);
}

TEST_F(SoundDeviceTest, ARealDevicePlaysAndItsPositionsNeverGoBack) {
    EXPECT_EQ(initialiseWithDriver("dummy"), "");
    SoundStream* stream = sound.openStream(loop->path.c_str());
    sound.streamPosition(stream); // waits for the decoding, so play takes effect at once
    const Clock::time_point started = Clock::now();
    sound.playStream(0, stream);
    const Reading first = readPosition(sound, stream);
    std::int32_t previous = first.position;
    int readings = 0;
    while (millisecondsBetween(first.after, Clock::now()) < 500) {
        const Reading reading = readPosition(sound, stream);
        ASSERT_GE(reading.position, previous) << "after " << readings << " readings";
        // What is heard was started no earlier than the play call: the queue is subtracted.
        ASSERT_LE(reading.position, millisecondsBetween(started, reading.after) + 1.0);
        previous = reading.position;
        ++readings;
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    const Reading last = readPosition(sound, stream);
    const double elapsed = millisecondsBetween(first.before, last.after);
    // The device plays in real time, less the latency still queued at the start.
    EXPECT_GT(last.position - first.position, elapsed * 0.6);
    EXPECT_LT(last.position - first.position, elapsed * 1.05 + 1.0);
}

TEST_F(SoundDeviceTest, WhatTheDevicePlaysIsTheStreamSampleForSample) {
    // The disk driver writes what it is given, in real time, to a file.
    const std::string output = directory->file("played.raw");
    setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);
    // The driver itself announces where it writes.
    EXPECT_EQ(initialiseWithDriver("disk").find("Cannot open"), std::string::npos);
    SoundStream* stream = sound.openStream(loop->path.c_str());
    sound.playStream(0, stream);
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    const std::int32_t position = sound.streamPosition(stream);
    platform::selectSoundOutput(sound, platform::SoundOutput::offline);
    ASSERT_TRUE(sound.initialise(44100, 16, 0)); // closes the device, flushing the file

    std::ifstream file(output, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(file), {}};
    std::vector<std::int16_t> played(bytes.size() / 2);
    std::memcpy(played.data(), bytes.data(), played.size() * 2);
    const std::size_t frames = played.size() / 2;
    ASSERT_GT(frames, 4096u);

    // The stream starts at a buffer boundary, with silence before it.
    std::size_t start = frames;
    for (std::size_t block = 0; block * 1024 + 2048 <= frames; ++block) {
        if (soundtest::frameRange(played, block * 1024, 2048) ==
            soundtest::frameRange(loop->decoded, 0, 2048)) {
            start = block * 1024;
            break;
        }
    }
    ASSERT_LT(start, frames) << "the stream's first samples never reached the device";
    EXPECT_EQ(soundtest::frameRange(played, 0, start), std::vector<std::int16_t>(start * 2, 0));
    const std::size_t heard = std::min<std::size_t>(frames - start, loop->frames());
    EXPECT_EQ(soundtest::frameRange(played, start, heard),
              soundtest::frameRange(loop->decoded, 0, heard));
    // The position lags behind what was handed to the device, never ahead of it.
    EXPECT_LE(std::uint64_t(position) * 44100 / 1000, heard);
}

TEST_F(SoundDeviceTest, ReinitialisingClosesThePreviousDevice) {
    initialiseWithDriver("dummy");
    EXPECT_NE(SDL_GetCurrentAudioDriver(), nullptr);
    platform::selectSoundOutput(sound, platform::SoundOutput::offline);
    ASSERT_TRUE(sound.initialise(44100, 16, 0));
    EXPECT_EQ(SDL_GetCurrentAudioDriver(), nullptr);

    platform::selectSoundOutput(sound, platform::SoundOutput::audioDevice);
    for (int restart = 0; restart < 3; ++restart) {
        initialiseWithDriver("dummy");
    }
    EXPECT_FALSE(sound.initialise(44100, 16, 7)); // a refused initialise still closes first
    EXPECT_EQ(SDL_GetCurrentAudioDriver(), nullptr);
}

} // namespace
