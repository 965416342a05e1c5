#include "capture_run.h"
#include "capture_test_files.h"
#include "e2e/process.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <thread>

namespace {

using capturetest::CaptureResult;
using capturetest::ScratchDirectory;

namespace fs = std::filesystem;

void expectFailure(const CaptureResult& result, const std::string& message) {
    ASSERT_TRUE(result.status.has_value()) << result.errors;
    EXPECT_EQ(*result.status, 2) << result.errors;
    EXPECT_NE(result.errors.find("lumivaha-capture: " + message), std::string::npos)
        << result.errors;
}

TEST(CaptureFailureE2eTest, BadOptionsStopBeforeAnythingRunsAndShowTheUsage) {
    const CaptureResult result = capturetest::runCapture({"--fps", "0", "--wav", "x.wav"});
    expectFailure(result, "--fps takes N or N/D frames per second");
    EXPECT_NE(result.errors.find("usage: lumivaha-capture"), std::string::npos) << result.errors;
    expectFailure(capturetest::runCapture({"--press", "3:Tab", "--wav", "x.wav"}),
                  "--press takes T:KEY");
    expectFailure(capturetest::runCapture({}), "nothing to write");
}

TEST(CaptureFailureE2eTest, AnUnwritableOutputIsNamedWithItsReasonAndNothingIsLeft) {
    ScratchDirectory scratch;
    std::ofstream(scratch.file("plain")) << "x";
    const std::string wav = scratch.file("plain/music.wav");
    expectFailure(capturetest::runCapture({"--frames", scratch.file("frames"), "--wav", wav}),
                  wav + ": Not a directory");
    // The frames' directory was made before the WAV failed; no frame went into it.
    EXPECT_TRUE(fs::is_empty(scratch.file("frames")));
    expectFailure(capturetest::runCapture({"--frames", scratch.file("plain")}),
                  scratch.file("plain") + ": ");
}

TEST(CaptureFailureE2eTest, FramesOfAnEarlierCaptureAreNeverMixedWithNewOnes) {
    ScratchDirectory scratch;
    fs::create_directory(scratch.file("frames"));
    std::ofstream(scratch.file("frames/frame_000000.png")) << "old";
    expectFailure(capturetest::runCapture({"--frames", scratch.file("frames")}),
                  scratch.file("frames") + ": already holds frames");
}

TEST(CaptureFailureE2eTest, AMissingFfmpegIsNamedWithItsDebianPackage) {
    ScratchDirectory scratch;
    fs::create_directory(scratch.file("bin"));
    const std::string video = scratch.file("demo.mp4");
    expectFailure(capturetest::runCapture({"--video", video, "--wav", scratch.file("demo.wav")},
                                          {{"PATH", scratch.file("bin")}}),
                  video + ": ffmpeg is not installed (on Debian: apt-get install ffmpeg)");
    EXPECT_EQ(scratch.entries(), std::vector<std::string>{"bin"});
}

TEST(CaptureFailureE2eTest, AnEncoderThatFailsMidwayLeavesNoHalfWrittenFiles) {
    ScratchDirectory scratch;
    fs::create_directory(scratch.file("bin"));
    // Takes two frames, then fails as a full disk would.
    const std::string fake = scratch.file("bin/ffmpeg");
    std::ofstream(fake) << "#!/bin/sh\nhead -c 2880000 > /dev/null\nexit 1\n";
    fs::permissions(fake, fs::perms::owner_all);
    const std::string video = scratch.file("demo.mp4");
    const std::string wav = scratch.file("demo.wav");
    const CaptureResult result =
        capturetest::runCapture({"--fps", "10", "--to", "3", "--video", video, "--wav", wav},
                                {{"PATH", scratch.file("bin") + ":/usr/bin:/bin"}});
    expectFailure(result, video + ": ffmpeg failed: it stopped reading its input");
    EXPECT_NE(result.errors.find(video + " was not made"), std::string::npos) << result.errors;
    EXPECT_NE(result.errors.find(wav + " was not made"), std::string::npos) << result.errors;
    EXPECT_EQ(scratch.entries(), std::vector<std::string>{"bin"});
}

TEST(CaptureFailureE2eTest, AnInterruptedCaptureSaysWhichFramesStayAndRemovesTheRest) {
    ScratchDirectory scratch;
    const std::string frames = scratch.file("frames");
    const std::string wav = scratch.file("music.wav");
    ChildProcess capture({LUMIVAHA_CAPTURE, "--fps", "10", "--frames", frames, "--wav", wav},
                         capturetest::captureEnvironment());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!fs::exists(frames + "/frame_000003.png") &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    capture.signal(SIGINT);
    const std::optional<int> status = capture.waitForExit(std::chrono::seconds(60));
    const std::string errors = capture.standardError();
    ASSERT_TRUE(status.has_value()) << errors;
    EXPECT_EQ(*status, 2);
    EXPECT_NE(errors.find("lumivaha-capture: interrupted"), std::string::npos) << errors;
    EXPECT_NE(errors.find(wav + " was not made"), std::string::npos) << errors;
    std::size_t kept = 0;
    for (const auto& entry : fs::directory_iterator(frames)) {
        EXPECT_FALSE(entry.path().string().ends_with(".partial")) << entry.path();
        ++kept;
    }
    ASSERT_GE(kept, 4u);
    EXPECT_NE(errors.find("frame_000000.png to frame_" +
                          std::string(6 - std::to_string(kept - 1).size(), '0') +
                          std::to_string(kept - 1) + ".png stay in " + frames),
              std::string::npos)
        << errors;
    EXPECT_EQ(scratch.entries(), std::vector<std::string>{"frames"});
}

} // namespace
