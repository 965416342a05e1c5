#include "capture_run.h"
#include "capture_test_files.h"
#include "support/process.h"

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <poll.h>
#include <regex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

using capturetest::CaptureResult;

namespace fs = std::filesystem;

void expectFailure(const CaptureResult& result, const std::string& message) {
    ASSERT_TRUE(result.status.has_value()) << result.errors;
    EXPECT_EQ(*result.status, 2) << result.errors;
    EXPECT_NE(result.errors.find("lumivaha-capture: " + message), std::string::npos)
        << result.errors;
}

std::size_t lineCount(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

TEST(CaptureFailureE2eTest, BadOptionsStopBeforeAnythingRunsWithOneLineAndAPointerToHelp) {
    const CaptureResult result = capturetest::runCapture({"--fps", "0", "--wav", "x.wav"});
    expectFailure(result, "--fps takes N or N/D frames per second");
    EXPECT_EQ(result.errors.find("usage:"), std::string::npos) << result.errors;
    EXPECT_NE(result.errors.find("\nTry \"lumivaha-capture --help\""), std::string::npos)
        << result.errors;
    EXPECT_EQ(lineCount(result.errors), 2u) << result.errors;
    expectFailure(capturetest::runCapture({"--press", "3:Tab", "--wav", "x.wav"}),
                  "--press takes T:KEY");
    expectFailure(capturetest::runCapture({}), "nothing to write");
}

TEST(CaptureFailureE2eTest, VersionNamesTheProgramAndItsVersion) {
    ScratchDirectory scratch;
    const std::string output = scratch.file("version.txt");
    const CaptureResult result = capturetest::runCaptureInto(output, {"--version"});
    ASSERT_EQ(result.status, 0) << result.errors;
    std::ifstream file(output);
    const std::string text((std::istreambuf_iterator<char>(file)),
                           std::istreambuf_iterator<char>());
    EXPECT_TRUE(std::regex_match(text, std::regex("lumivaha-capture [0-9]+\\.[0-9]+\\.[0-9]+\n")))
        << text;
}

TEST(CaptureFailureE2eTest, AnUnwritableOutputIsNamedWithItsReasonAndNothingIsLeft) {
    ScratchDirectory scratch;
    std::ofstream(scratch.file("plain")) << "x";
    const std::string wav = scratch.file("plain/music.wav");
    const CaptureResult result =
        capturetest::runCapture({"--frames", scratch.file("frames"), "--wav", wav});
    expectFailure(result, wav + ": Not a directory");
    EXPECT_EQ(lineCount(result.errors), 1u) << result.errors;
    // Every file output is checked before the frames' directory is made.
    EXPECT_FALSE(fs::exists(scratch.file("frames")));
    expectFailure(capturetest::runCapture({"--frames", scratch.file("plain")}),
                  scratch.file("plain") + ": ");
    fs::create_directory(scratch.file("folder"));
    ASSERT_EQ(::mkfifo(scratch.file("fifo").c_str(), 0666), 0);
    const std::string longName = scratch.file(std::string(250, 'v') + ".mp4");
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--wav", scratch.file("folder")}, scratch.file("folder") + ": Is a directory"},
        {{"--video", scratch.file("a.mp4"), "--wav", scratch.path() + "/./a.mp4"},
         "--video and --wav name the same file: " + scratch.file("a.mp4")},
        {{"--video", longName}, longName + ": the name is too long to add \".partial\""},
        {{"--wav", scratch.file("none/a.wav")},
         scratch.file("none/a.wav") + ": the folder " + scratch.file("none") + " does not exist"},
        {{"--wav", scratch.file("fifo")}, scratch.file("fifo") + ": nothing reads this FIFO"},
    };
    for (const auto& [arguments, message] : cases) {
        const CaptureResult refused =
            capturetest::runCapture(arguments, {}, std::chrono::seconds(60));
        expectFailure(refused, message);
        EXPECT_EQ(lineCount(refused.errors), 1u) << refused.errors;
    }
    EXPECT_TRUE(fs::is_fifo(fs::symlink_status(scratch.file("fifo"))));
    EXPECT_EQ(scratch.entries(), (std::vector<std::string>{"fifo", "folder", "plain"}));
}

TEST(CaptureFailureE2eTest, DevicesAndLinksAreWrittenThroughAndNeverReplaced) {
    ScratchDirectory scratch;
    if (!capturetest::makeDeviceCopies(scratch)) {
        GTEST_SKIP() << "device nodes cannot be made here (not root?)";
    }
    fs::create_directory(scratch.file("music"));
    fs::create_directory(scratch.file("tmp"));
    fs::create_symlink("music/real.wav", scratch.file("link.wav"));
    const capturetest::Environment privateTemporaries = {{"TMPDIR", scratch.file("tmp")}};
    const CaptureResult written =
        capturetest::runCapture({"--to", "0.1", "--fps", "10", "--video", scratch.file("null"),
                                 "--wav", scratch.file("link.wav")},
                                privateTemporaries);
    ASSERT_EQ(written.status, 0) << written.errors;
    EXPECT_NE(written.errors.find("lumivaha-capture: 1 frame at 10/1 fps"), std::string::npos)
        << written.errors;
    EXPECT_NE(written.errors.find("1 run; 1 frame rendered"), std::string::npos) << written.errors;
    EXPECT_TRUE(fs::is_symlink(scratch.file("link.wav")));
    capturetest::WavSound sound;
    std::string reason;
    ASSERT_TRUE(capturetest::readWav(scratch.file("music/real.wav"), sound, reason)) << reason;
    EXPECT_EQ(sound.samples.size(), 2u * 4410u);
    for (const std::string option : {"--video", "--wav"}) {
        const CaptureResult full = capturetest::runCapture(
            {"--to", "0.2", "--fps", "10", option, scratch.file("full")}, privateTemporaries);
        expectFailure(full, scratch.file("full") + ": No space left on device");
        EXPECT_EQ(lineCount(full.errors), 2u) << full.errors; // the seed, the failure
    }
    EXPECT_TRUE(capturetest::isCharacterDevice(scratch.file("null"), 1, 3));
    EXPECT_TRUE(capturetest::isCharacterDevice(scratch.file("full"), 1, 7));
    EXPECT_TRUE(fs::is_empty(scratch.file("tmp")));
    EXPECT_EQ(scratch.entries(),
              (std::vector<std::string>{"full", "link.wav", "music", "null", "tmp"}));
}

TEST(CaptureFailureE2eTest, AnOverrideHoldingNoDataSetEndsWithStatusOneBeforeAnythingIsMade) {
    ScratchDirectory scratch;
    const std::string absent = scratch.file("absent");
    const CaptureResult result = capturetest::runCapture(
        {"--seed", "1", "--wav", scratch.file("music.wav")}, {{"LUMIVAHA_DATA", absent}});
    EXPECT_EQ(result.status, std::optional<int>(1)) << result.errors;
    EXPECT_EQ(result.errors, "lumivaha-capture: No data set found: LUMIVAHA_DATA names " + absent +
                                 ", which does not exist\n");
    EXPECT_EQ(scratch.entries(), std::vector<std::string>{});
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

// The pid a fake ffmpeg notes once it starts to wait, or 0 when none did within the time.
pid_t waitForStalledFfmpeg(const std::string& mark, std::chrono::seconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    pid_t stalled = 0;
    while (!(std::ifstream(mark) >> stalled) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return stalled;
}

TEST(CaptureFailureE2eTest, ASignalWhileFfmpegFinishesTheVideoEndsTheCaptureAsInterrupted) {
    // Both passes stood deaf to SIGTERM and SIGINT, and a Ctrl-C at the terminal, which reaches
    // ffmpeg too, was told as ffmpeg's failure.
    struct Case {
        const char* stalledPass;
        int signalNumber;
        bool wholeGroup; // as a terminal's Ctrl-C
    };
    const Case cases[] = {
        {"encode", SIGTERM, false}, {"mux", SIGTERM, false}, {"mux", SIGINT, true}};
    for (const Case& test : cases) {
        SCOPED_TRACE(std::string(test.stalledPass) + (test.wholeGroup ? " group " : " ") +
                     std::to_string(test.signalNumber));
        ScratchDirectory scratch;
        fs::create_directory(scratch.file("bin"));
        // The encoding pass reads the frames from pipe:0, the other adds the music; the pass
        // named by STALL notes its pid and waits as a long run of ffmpeg would.
        const std::string fake = scratch.file("bin/ffmpeg");
        std::ofstream(fake) << "#!/bin/sh\n"
                               "case \" $* \" in *\" pipe:0 \"*) pass=encode; cat >/dev/null;; "
                               "*) pass=mux;; esac\n"
                               "[ \"$pass\" = \"$STALL\" ] || exit 0\n"
                               "echo $$ > \"$MARK.new\" && mv \"$MARK.new\" \"$MARK\"\n"
                               "exec sleep 60\n";
        fs::permissions(fake, fs::perms::owner_all);
        const std::string video = scratch.file("demo.mp4");
        const std::string wav = scratch.file("demo.wav");
        // In a process group of its own, which the Ctrl-C case signals as a whole.
        ChildProcess capture(
            {"/usr/bin/setsid", LUMIVAHA_CAPTURE, "--seed", "1", "--fps", "10", "--to", "0.3",
             "--video", video, "--wav", wav},
            capturetest::captureEnvironment({{"PATH", scratch.file("bin") + ":/usr/bin:/bin"},
                                             {"STALL", test.stalledPass},
                                             {"MARK", scratch.file("mark")}}));
        const pid_t stalled = waitForStalledFfmpeg(scratch.file("mark"), std::chrono::seconds(60));
        ASSERT_GT(stalled, 0) << capture.standardError();
        ::kill(test.wholeGroup ? -capture.pid() : capture.pid(), test.signalNumber);
        const std::optional<int> status = capture.waitForExit(std::chrono::seconds(10));
        const std::string errors = capture.standardError();
        const bool ffmpegLeft = ::kill(stalled, 0) == 0;
        if (ffmpegLeft) {
            ::kill(stalled, SIGKILL);
        }
        ASSERT_TRUE(status.has_value()) << errors;
        EXPECT_EQ(*status, 2);
        EXPECT_FALSE(ffmpegLeft) << "ffmpeg was left running";
        EXPECT_NE(errors.find("lumivaha-capture: interrupted; " + video + " was not made; " + wav +
                              " was not made"),
                  std::string::npos)
            << errors;
        EXPECT_EQ(scratch.entries(), (std::vector<std::string>{"bin", "mark"}));
    }
}

TEST(CaptureFailureE2eTest, ASignalWhileTheMusicWaitsForAFifoReaderEndsTheCaptureAsInterrupted) {
    // A second of music is more than the pipe holds: the copy waits for a reader that has
    // stopped reading, and the signal handlers restart a write that waits.
    ScratchDirectory scratch;
    const std::string fifo = scratch.file("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    fs::create_directory(scratch.file("tmp"));
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    ChildProcess capture(
        {LUMIVAHA_CAPTURE, "--seed", "1", "--fps", "10", "--to", "1", "--wav", fifo},
        capturetest::captureEnvironment({{"TMPDIR", scratch.file("tmp")}}));
    pollfd firstBytes{reader, POLLIN, 0};
    const bool copying = ::poll(&firstBytes, 1, 60000) == 1;
    capture.signal(SIGTERM);
    const std::optional<int> status = capture.waitForExit(std::chrono::seconds(10));
    ::close(reader);
    const std::string errors = capture.standardError();
    ASSERT_TRUE(copying) << errors;
    ASSERT_TRUE(status.has_value()) << errors;
    EXPECT_EQ(*status, 2);
    EXPECT_NE(errors.find("lumivaha-capture: interrupted; " + fifo + " got only part of its data"),
              std::string::npos)
        << errors;
    EXPECT_TRUE(fs::is_empty(scratch.file("tmp")));
}

} // namespace
