#include "capture_run.h"
#include "capture_test_files.h"
#include "platform/sound_decoder.h"
#include "resources/data_manifest.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace {

using capturetest::CaptureResult;
using capturetest::Picture;
using capturetest::WavSound;

// The frames a capture wrote, in order.
std::vector<Picture> readFrames(const std::string& directory) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory)) {
        names.push_back(entry.path().string());
    }
    std::sort(names.begin(), names.end());
    std::vector<Picture> frames;
    for (const std::string& name : names) {
        Picture picture;
        std::string reason;
        EXPECT_TRUE(capturetest::readPng(name, picture, reason)) << name << ": " << reason;
        EXPECT_EQ(picture.width, 800);
        EXPECT_EQ(picture.height, 600);
        frames.push_back(std::move(picture));
    }
    return frames;
}

std::vector<std::uint64_t> frameHashes(const std::vector<Picture>& frames) {
    std::vector<std::uint64_t> hashes;
    for (const Picture& frame : frames) {
        hashes.push_back(capturetest::hashBytes(frame.rgb.data(), frame.rgb.size()));
    }
    return hashes;
}

WavSound readSound(const std::string& path) {
    WavSound sound;
    std::string reason;
    EXPECT_TRUE(capturetest::readWav(path, sound, reason)) << path << ": " << reason;
    EXPECT_EQ(sound.rate, 44100);
    EXPECT_EQ(sound.channels, 2);
    EXPECT_EQ(sound.bitsPerSample, 16);
    return sound;
}

// A music loop, counted from 1, as the demo's sound system decodes it: interleaved stereo at
// 44100 Hz.
std::vector<std::int16_t> decodedLoop(int number) {
    const std::string path =
        std::string(LUMIVAHA_DATA_PARENT) + "/" + loopFiles[static_cast<std::size_t>(number - 1)];
    std::vector<std::int16_t> samples;
    std::string reason;
    EXPECT_EQ(platform::decodeSoundFile(path.c_str(), 44100, samples, reason),
              platform::DecodeResult::decoded)
        << path << ": " << reason;
    return samples;
}

// Sound frames heard before frame k at frames / seconds frames per second: floor(k x 44100 x
// seconds / frames), the capture's promise, worked out here on its own.
std::uint64_t soundFramesBefore(std::uint64_t frame, std::uint64_t frames, std::uint64_t seconds) {
    return frame * 44100 * seconds / frames;
}

void expectSuccess(const CaptureResult& result) {
    ASSERT_TRUE(result.status.has_value()) << result.errors;
    ASSERT_EQ(*result.status, 0) << result.errors;
}

TEST(CaptureE2eTest, SameSeedGivesTheSameFramesAndSoundAndAnotherSeedDoesNot) {
    ScratchDirectory scratch;
    const auto capture = [&](const std::string& name, const std::string& seed) {
        expectSuccess(
            capturetest::runCapture({"--fps", "10", "--to", "1.2", "--seed", seed, "--frames",
                                     scratch.file(name), "--wav", scratch.file(name + ".wav")}));
        return readFrames(scratch.file(name));
    };
    const std::vector<Picture> first = capture("first", "1234");
    const std::vector<Picture> second = capture("second", "1234");
    const std::vector<Picture> other = capture("other", "98765");
    ASSERT_EQ(first.size(), 12u);
    EXPECT_EQ(frameHashes(first), frameHashes(second));
    EXPECT_EQ(readSound(scratch.file("first.wav")).samples,
              readSound(scratch.file("second.wav")).samples);
    // The seed picks the base colour that tints every frame.
    EXPECT_NE(frameHashes(first).back(), frameHashes(other).back());
    // Each frame is a new picture: the title cards and streaks move.
    EXPECT_NE(frameHashes(first)[10], frameHashes(first)[11]);
}

TEST(CaptureE2eTest, TheWavHoldsExactlyTheSoundOfTheWrittenFrames) {
    ScratchDirectory scratch;
    const std::vector<std::int16_t> opening = decodedLoop(5);
    struct Case {
        const char* fps;
        std::uint64_t frames;
        std::uint64_t seconds;
        const char* from;
        const char* to;
        std::uint64_t firstFrame;
        std::uint64_t endFrame;
    };
    // 60000/1001: 735.735 sound frames per picture frame, never a whole number of them.
    for (const Case& c :
         {Case{"60", 60, 1, "0.5", "1.5", 30, 90}, Case{"60000/1001", 60000, 1001, "0", "1", 0, 60},
          Case{"60000/1001", 60000, 1001, "0.5", "1.5", 30, 90}}) {
        const std::string wav = scratch.file(std::string("music-") + c.from + ".wav");
        expectSuccess(capturetest::runCapture(
            {"--fps", c.fps, "--from", c.from, "--to", c.to, "--seed", "77", "--wav", wav}));
        const WavSound sound = readSound(wav);
        const std::uint64_t first = soundFramesBefore(c.firstFrame, c.frames, c.seconds);
        const std::uint64_t end = soundFramesBefore(c.endFrame, c.frames, c.seconds);
        EXPECT_EQ(sound.samples.size(), 2 * (end - first)) << c.fps << " from " << c.from;
        EXPECT_EQ(sound.declaredBytes, 4 * (end - first));
        // The opening loop from its start, not a sample early or late.
        ASSERT_GE(opening.size(), 2 * end);
        EXPECT_TRUE(std::equal(sound.samples.begin(), sound.samples.end(),
                               opening.begin() + static_cast<std::ptrdiff_t>(2 * first)))
            << c.fps << " from " << c.from;
    }
}

// The demo takes the loop boundary in the first frame whose music position is past 14674 ms
// and draws the new scene from the next frame on; the new loop is heard from the boundary frame.
TEST(CaptureE2eTest, SceneChangesFallOnTheFrameAfterTheMusicPassesTheLoopEnd) {
    ScratchDirectory scratch;
    const std::uint64_t frames = 15000;
    const std::uint64_t seconds = 1001;
    std::uint64_t boundary = 0;
    while (soundFramesBefore(boundary, frames, seconds) * 1000 / 44100 <= 14674) {
        ++boundary;
    }
    ASSERT_EQ(boundary, 220u);
    expectSuccess(capturetest::runCapture({"--fps", "15000/1001", "--from", "14.4", "--to", "15.1",
                                           "--seed", "2024", "--frames", scratch.file("frames"),
                                           "--wav", scratch.file("music.wav")}));
    const std::uint64_t firstFrame = 216; // ceil(14.4 x 15000 / 1001)
    const std::vector<Picture> pictures = readFrames(scratch.file("frames"));
    ASSERT_EQ(pictures.size(), 11u);
    std::vector<double> changes;
    for (std::size_t i = 1; i < pictures.size(); ++i) {
        changes.push_back(capturetest::colourDistance(pictures[i - 1], pictures[i]));
    }
    const auto largest = std::max_element(changes.begin(), changes.end());
    // changes[i] lies between frames firstFrame + i and firstFrame + i + 1.
    EXPECT_EQ(firstFrame + static_cast<std::uint64_t>(largest - changes.begin()) + 1, boundary + 1);
    for (auto change = changes.begin(); change != changes.end(); ++change) {
        if (change != largest) {
            EXPECT_LT(*change * 3.0, *largest)
                << "between frames " << firstFrame + (change - changes.begin());
        }
    }

    const WavSound sound = readSound(scratch.file("music.wav"));
    const std::uint64_t soundStart = soundFramesBefore(firstFrame, frames, seconds);
    const std::uint64_t switchAt = soundFramesBefore(boundary, frames, seconds) - soundStart;
    const std::vector<std::int16_t> opening = decodedLoop(5);
    EXPECT_TRUE(std::equal(sound.samples.begin(),
                           sound.samples.begin() + static_cast<std::ptrdiff_t>(2 * switchAt),
                           opening.begin() + static_cast<std::ptrdiff_t>(2 * soundStart)));
    // From the boundary on, one of the four other loops from its very first sample.
    const std::vector<std::int16_t> after(
        sound.samples.begin() + static_cast<std::ptrdiff_t>(2 * switchAt), sound.samples.end());
    ASSERT_FALSE(after.empty());
    int matches = 0;
    for (int loop = 1; loop <= 4; ++loop) {
        const std::vector<std::int16_t> samples = decodedLoop(loop);
        matches += std::equal(after.begin(), after.end(), samples.begin()) ? 1 : 0;
    }
    EXPECT_EQ(matches, 1);
}

// The faster blur, once verified, must leave every frame as the reference draws it, across the
// scene change of a loop boundary too.
TEST(CaptureE2eTest, TheVerifiedBlurDrawsEveryFrameAsTheReferenceDoes) {
    ScratchDirectory scratch;
    const auto capture = [&](const std::string& blur) {
        const CaptureResult result =
            capturetest::runCapture({"--fps", "10", "--from", "13.5", "--to", "15.5", "--seed",
                                     "31337", "--frames", scratch.file(blur)},
                                    {{"LUMIVAHA_BLUR", blur}});
        expectSuccess(result);
        return std::make_pair(result.errors, readFrames(scratch.file(blur)));
    };
    const auto [verifiedSummary, verified] = capture("verified");
    const auto [referenceSummary, reference] = capture("reference");
    EXPECT_NE(verifiedSummary.find("blur: candidate (processor)"), std::string::npos)
        << verifiedSummary;
    EXPECT_NE(referenceSummary.find("blur: reference"), std::string::npos) << referenceSummary;
    ASSERT_EQ(verified.size(), 20u);
    ASSERT_EQ(reference.size(), verified.size());
    for (std::size_t i = 0; i < verified.size(); ++i) {
        EXPECT_TRUE(verified[i].rgb == reference[i].rgb) << "frame " << i;
    }
    // The loop ends at 14.674 s: the scene changes within the frames compared.
    EXPECT_GT(capturetest::colourDistance(verified.front(), verified.back()), 0.0);
}

TEST(CaptureE2eTest, F1RestartsTheOpeningWithTheTimerOfTheRestartAsSeed) {
    ScratchDirectory scratch;
    // F1 is seen by the frame at 5 s, the last of the first run; the new run's start-up reads
    // the timer at the next frame, 5.1 s: seed + 5100.
    expectSuccess(capturetest::runCapture(
        {"--fps", "10", "--seed", "3000", "--press", "5:F1", "--from", "4.9", "--to", "6",
         "--frames", scratch.file("restart"), "--wav", scratch.file("restart.wav")}));
    expectSuccess(
        capturetest::runCapture({"--fps", "10", "--seed", "8100", "--to", "0.9", "--frames",
                                 scratch.file("fresh"), "--wav", scratch.file("fresh.wav")}));
    const std::vector<std::uint64_t> restarted = frameHashes(readFrames(scratch.file("restart")));
    const std::vector<std::uint64_t> fresh = frameHashes(readFrames(scratch.file("fresh")));
    ASSERT_EQ(restarted.size(), 11u); // frames 49 to 59
    ASSERT_EQ(fresh.size(), 9u);
    EXPECT_EQ(std::vector<std::uint64_t>(restarted.begin() + 2, restarted.end()), fresh);
    EXPECT_NE(restarted[1], fresh[0]);
    const std::vector<std::int16_t> restartSound = readSound(scratch.file("restart.wav")).samples;
    const std::vector<std::int16_t> freshSound = readSound(scratch.file("fresh.wav")).samples;
    ASSERT_EQ(restartSound.size(), 2u * 4410u * 11u);
    EXPECT_EQ(std::vector<std::int16_t>(restartSound.begin() + 2 * 4410 * 2, restartSound.end()),
              freshSound);
}

TEST(CaptureE2eTest, EscapeEndsTheCaptureWithTheFrameThatSawIt) {
    ScratchDirectory scratch;
    const CaptureResult result = capturetest::runCapture(
        {"--fps", "10", "--seed", "5", "--press", "0.95:Escape", "--frames", scratch.file("f")});
    expectSuccess(result);
    EXPECT_EQ(readFrames(scratch.file("f")).size(), 11u);
    EXPECT_NE(result.errors.find("; Escape ended the demo"), std::string::npos) << result.errors;
    EXPECT_EQ(result.errors.find("ended by itself"), std::string::npos) << result.errors;
    EXPECT_NE(result.errors.find("11 frames at 10/1 fps"), std::string::npos) << result.errors;
}

TEST(CaptureE2eTest, TheVideoIsH264WithTheMusicAsAac) {
    ScratchDirectory scratch;
    const std::string video = scratch.file("demo.mp4");
    expectSuccess(
        capturetest::runCapture({"--fps", "10", "--to", "1", "--seed", "11", "--video", video}));
    EXPECT_EQ(scratch.entries(), std::vector<std::string>{"demo.mp4"});
    const std::string report = scratch.file("probe.txt");
    const std::string command = "ffprobe -v error -count_frames -show_entries "
                                "stream=codec_name,pix_fmt,width,height,nb_read_frames,"
                                "sample_rate,channels -of default=noprint_wrappers=1 '" +
                                video + "' > '" + report + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::ifstream file(report);
    std::stringstream text;
    text << file.rdbuf();
    const std::string probe = text.str();
    for (const char* line :
         {"codec_name=h264", "pix_fmt=yuv420p", "width=800", "height=600", "nb_read_frames=10",
          "codec_name=aac", "sample_rate=44100", "channels=2"}) {
        EXPECT_NE(probe.find(line), std::string::npos) << line << " in\n" << probe;
    }
}

TEST(CaptureE2eTest, TheBenchmarkTimesTheStartUpAndEveryPairAgainstItsFloor) {
    ScratchDirectory scratch;
    const std::string output = scratch.file("bench.md");
    const CaptureResult result =
        capturetest::runCaptureInto(output, {"--bench", "--bench-frames", "3", "--seed", "9"});
    expectSuccess(result);
    std::ifstream file(output);
    std::string line;
    int pairRows = 0;
    std::vector<std::string> phases;
    std::string blurLine;
    std::string workersLine;
    while (std::getline(file, line)) {
        char backdrop[32] = {};
        char foreground[32] = {};
        double median = 0, p90 = 0, floorMedian = 0, floorP90 = 0, ratio = 0;
        double referenceMedian = 0, toReference = 0;
        if (std::sscanf(line.c_str(),
                        "| %31[A-Za-z] | %31[A-Za-z] | %lf | %lf | %lf | %lf | %lf | %lf | %lf |",
                        backdrop, foreground, &median, &p90, &floorMedian, &floorP90, &ratio,
                        &referenceMedian, &toReference) == 9) {
            ++pairRows;
            EXPECT_GT(floorMedian, 0.0) << line;
            EXPECT_GE(p90, median) << line;
            EXPECT_GE(floorP90, floorMedian) << line;
            EXPECT_NEAR(ratio, median / floorMedian, 0.01) << line;
            EXPECT_NEAR(toReference, median / referenceMedian, 0.01) << line;
        } else if (line.starts_with("| pictures") || line.starts_with("| mipmaps") ||
                   line.starts_with("| meshes") || line.starts_with("| music") ||
                   line.starts_with("| first frame") || line.starts_with("| **start-up")) {
            phases.push_back(line);
        } else if (line.starts_with("Blur: ")) {
            blurLine = line;
        } else if (line.starts_with("The loops decode")) {
            workersLine = line;
        }
    }
    // The check ends within the first pair's warm-up, with a choice and its reason.
    EXPECT_NE(blurLine.find("frames compared"), std::string::npos) << blurLine;
    EXPECT_EQ(blurLine.find("Blur: checking"), std::string::npos) << blurLine;
    EXPECT_EQ(pairRows, 12);
    ASSERT_EQ(phases.size(), 6u);
    EXPECT_NE(phases[0].find("17 JPEG files"), std::string::npos) << phases[0];
    EXPECT_NE(phases[1].find("17 chains"), std::string::npos) << phases[1];
    EXPECT_NE(phases[2].find("3 AML files"), std::string::npos) << phases[2];
    EXPECT_NE(phases[3].find("5 loops"), std::string::npos) << phases[3];
    // The decoding runs on worker threads: their probes must reach the benchmark too.
    double workerMilliseconds = 0;
    double allDecodedMilliseconds = 0;
    EXPECT_EQ(std::sscanf(workersLine.c_str(),
                          "The loops decode on worker threads beside the start-up: %lf ms of "
                          "processor time, all done %lf ms",
                          &workerMilliseconds, &allDecodedMilliseconds),
              2)
        << workersLine;
    EXPECT_GT(workerMilliseconds, 0.0) << workersLine;
    EXPECT_GT(allDecodedMilliseconds, 0.0) << workersLine;
}

} // namespace
