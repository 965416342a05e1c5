#include "sound_test_support.h"

#include <SDL.h>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
using platform::SoundStream;
using platform::SoundSystem;

std::size_t occurrences(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

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

// The reading end of a FIFO that SDL's disk driver plays into, standing in for a sound server
// that takes what is played, stops taking it, or goes away.
class FifoListener {
public:
    explicit FifoListener(const std::string& path) : reader([this, path] { listen(path); }) {}
    ~FifoListener() { leave(); }
    FifoListener(const FifoListener&) = delete;
    FifoListener& operator=(const FifoListener&) = delete;

    // The pipe fills, and the player's next write blocks.
    void stopTaking() { taking = false; }
    // The player's next write fails.
    void leave() {
        leaving = true;
        if (reader.joinable()) {
            reader.join();
        }
    }
    std::vector<std::int16_t> heard() {
        const std::lock_guard lock(mutex);
        return {samples.begin(), samples.end() - samples.size() % 2};
    }

private:
    void listen(const std::string& path) {
        // Opened without waiting for a writer, so the player's opening finds a reader at once.
        const int fifo = open(path.c_str(), O_RDONLY | O_NONBLOCK);
        std::int16_t chunk[4096];
        while (!leaving) {
            const ssize_t bytes = taking ? read(fifo, chunk, sizeof chunk) : 0;
            if (bytes > 0) {
                const std::lock_guard lock(mutex);
                samples.insert(samples.end(), chunk, chunk + bytes / 2);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        close(fifo);
    }

    std::atomic<bool> taking = true;
    std::atomic<bool> leaving = false;
    std::mutex mutex;
    std::vector<std::int16_t> samples;
    std::thread reader;
};

// What the process writes on stderr, readable while it runs.
class StderrFile {
public:
    explicit StderrFile(const std::string& path)
        : path(path), saved(dup(STDERR_FILENO)),
          file(open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600)) {
        dup2(file, STDERR_FILENO);
    }
    ~StderrFile() {
        dup2(saved, STDERR_FILENO);
        close(saved);
        close(file);
    }
    std::string text() const {
        std::ifstream in(path);
        return {std::istreambuf_iterator<char>(in), {}};
    }

private:
    std::string path;
    int saved;
    int file;
};

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

// Reads positions every 10 ms, as frames do, until stderr holds the line (so many times) or the
// time is up; every position must be at least the one before.
class WatchedPositions {
public:
    WatchedPositions(SoundSystem& sound, const SoundStream* stream, const StderrFile& errors)
        : sound(sound), stream(stream), errors(errors) {}

    ::testing::AssertionResult waitForLine(const std::string& line, std::chrono::seconds limit,
                                           std::size_t times = 1) {
        const Clock::time_point end = Clock::now() + limit;
        while (Clock::now() < end) {
            const std::int32_t position = sound.streamPosition(stream);
            if (position < last) {
                return ::testing::AssertionFailure()
                       << "went back from " << last << " to " << position;
            }
            last = position;
            if (occurrences(errors.text(), line) >= times) {
                return ::testing::AssertionSuccess();
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return ::testing::AssertionFailure() << "no \"" << line << "\" in:\n" << errors.text();
    }
    std::int32_t lastPosition() const { return last; }

private:
    SoundSystem& sound;
    const SoundStream* stream;
    const StderrFile& errors;
    std::int32_t last = 0;
};

// A sound server that stops or goes away, played into through a FIFO by SDL's disk driver.
class LostDeviceTest : public SoundDeviceTest {
protected:
    void SetUp() override {
        // A write to a FIFO whose reader has gone must fail, not end the process.
        std::signal(SIGPIPE, SIG_IGN);
        ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
        setenv("SDL_DISKAUDIOFILE", fifo.c_str(), 1);
        setenv("SDL_AUDIODRIVER", "disk", 1);
    }

    const std::string fifo =
        directory->file(::testing::UnitTest::GetInstance()->current_test_info()->name());
};

TEST_F(LostDeviceTest, ADeviceThatStopsTakingSoundIsLeftBehindAndNeverWaitedOn) {
    FifoListener server(fifo);
    const StderrFile errors(directory->file("stopped.err"));
    ASSERT_TRUE(sound.initialise(44100, 16, 0));
    SoundStream* stream = sound.openStream(loop->path.c_str());
    sound.playStream(0, stream);
    WatchedPositions positions(sound, stream, errors);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    server.stopTaking();
    EXPECT_TRUE(positions.waitForLine(
        "Lost the audio device (it has stopped taking sound): the music goes on silently.\n",
        std::chrono::seconds(5)));
    // The silent clock takes over where the listener was.
    expectRealTime(stream, 300);

    const Clock::time_point closing = Clock::now();
    platform::selectSoundOutput(sound, platform::SoundOutput::offline);
    ASSERT_TRUE(sound.initialise(44100, 16, 0));
    EXPECT_LT(millisecondsBetween(closing, Clock::now()), 500.0);
    // The disk driver announces itself too; of ours, just the one warning.
    EXPECT_EQ(occurrences(errors.text(), "audio device"), 1u) << errors.text();
}

// The music goes on from the sample heard when the device went, on the device that comes back.
TEST_F(LostDeviceTest, AnAbsentOrRemovedDeviceIsTakenUpAgainWhenItComesBack) {
    const StderrFile errors(directory->file("removed.err"));
    // Nobody reads the FIFO yet, so the driver's opening blocks.
    const Clock::time_point opening = Clock::now();
    ASSERT_TRUE(sound.initialise(44100, 16, 0));
    EXPECT_LT(millisecondsBetween(opening, Clock::now()), 2500.0);
    EXPECT_EQ(errors.text(), "Cannot open an audio device (it has not answered for 2 s): the music "
                             "will be silent.\n");
    SoundStream* stream = sound.openStream(loop->path.c_str());
    sound.playStream(0, stream);
    WatchedPositions positions(sound, stream, errors);
    ASSERT_FALSE(positions.waitForLine("Opened", std::chrono::seconds(1)));

    auto server = std::make_unique<FifoListener>(fifo);
    ASSERT_TRUE(positions.waitForLine("Opened an audio device: the music is heard again.\n",
                                      std::chrono::seconds(3)));
    const std::int32_t resumedAt = sound.streamPosition(stream);
    EXPECT_GT(resumedAt, 900);
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    const std::vector<std::int16_t> heard = server->heard();
    // Silence until the stream's first buffer, then the stream from the position heard.
    const auto first = std::find_if(heard.begin(), heard.end(), [](auto s) { return s != 0; });
    ASSERT_GT(heard.end() - first, 2 * 4096) << "too little was played";
    const auto played = soundtest::frameRange(heard, (first - heard.begin()) / 2, 4096);
    const std::size_t frame = std::size_t(resumedAt) * 44100 / 1000;
    bool found = false;
    for (std::size_t at = frame; at <= frame + 45 && !found; ++at) {
        found = played == soundtest::frameRange(loop->decoded, at, 4096);
    }
    EXPECT_TRUE(found) << "the stream did not go on from " << resumedAt << " ms";

    server->leave();
    ASSERT_TRUE(positions.waitForLine(
        "Lost the audio device (it was removed): the music goes on silently.\n",
        std::chrono::seconds(2)));
    server = std::make_unique<FifoListener>(fifo);
    EXPECT_TRUE(positions.waitForLine("Opened an audio device: the music is heard again.\n",
                                      std::chrono::seconds(3), 2));
}

} // namespace
