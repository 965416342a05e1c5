#include "capture_outputs.h"
#include "capture_test_files.h"
#include "child_program.h"
#include "pending_file.h"
#include "png_file.h"
#include "png_frame_writer.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace {

using capturetest::Picture;
using capturetest::ScratchDirectory;

namespace fs = std::filesystem;

// Rows bottom first, as OpenGL reads them: row r is filled with the colour (r, 10 r, 200).
std::vector<std::uint8_t> rowCoded(int width, int height) {
    std::vector<std::uint8_t> pixels;
    for (int row = 0; row < height; ++row) {
        for (int x = 0; x < width; ++x) {
            pixels.insert(pixels.end(), {static_cast<std::uint8_t>(row),
                                         static_cast<std::uint8_t>(10 * row + x), 200});
        }
    }
    return pixels;
}

void writeText(const std::string& path, const std::string& text) {
    std::ofstream(path) << text;
}

TEST(PendingFileTest, OnlyACommittedFileTakesItsName) {
    ScratchDirectory scratch;
    const std::string target = scratch.file("music.wav");
    {
        PendingFile file(target);
        std::string reason;
        ASSERT_TRUE(file.create(reason)) << reason;
        EXPECT_TRUE(fs::exists(file.temporaryPath()));
        EXPECT_FALSE(fs::exists(target));
        ASSERT_TRUE(file.commit(reason)) << reason;
    }
    EXPECT_TRUE(fs::exists(target));
    EXPECT_EQ(scratch.entries(), std::vector<std::string>{"music.wav"});
    {
        PendingFile abandoned(scratch.file("other.wav"));
        std::string reason;
        ASSERT_TRUE(abandoned.create(reason)) << reason;
    }
    EXPECT_EQ(scratch.entries(), std::vector<std::string>{"music.wav"});
}

TEST(PngFileTest, PicturesAreStoredTopRowFirstWithExactColours) {
    ScratchDirectory scratch;
    const std::string path = scratch.file("rows.png");
    std::string reason;
    ASSERT_TRUE(writePngFile(path, rowCoded(5, 4).data(), 5, 4, reason)) << reason;
    Picture picture;
    ASSERT_TRUE(capturetest::readPng(path, picture, reason)) << reason;
    ASSERT_EQ(picture.width, 5);
    ASSERT_EQ(picture.height, 4);
    // The top row of the file is the last row OpenGL gave.
    EXPECT_EQ(picture.pixel(0, 0)[0], 3);
    EXPECT_EQ(picture.pixel(4, 0)[1], 34);
    EXPECT_EQ(picture.pixel(2, 3)[0], 0);
    EXPECT_EQ(picture.pixel(2, 3)[1], 2);
    EXPECT_EQ(picture.pixel(2, 3)[2], 200);
}

TEST(PngFileTest, AFailedWriteLeavesNoFile) {
    ScratchDirectory scratch;
    std::string reason;
    EXPECT_FALSE(writePngFile(scratch.file("missing/x.png"), rowCoded(2, 2).data(), 2, 2, reason));
    EXPECT_EQ(reason, "No such file or directory");
    // A full device: libpng's write fails part-way and the partial file goes.
    if (fs::exists("/dev/full")) {
        const std::string full = scratch.file("full.png");
        fs::create_symlink("/dev/full", full);
        EXPECT_FALSE(writePngFile(full, rowCoded(64, 64).data(), 64, 64, reason));
        EXPECT_EQ(reason, "No space left on device");
    }
}

TEST(PngFrameWriterTest, FramesAreNumberedInOrderWithTheirOwnPixels) {
    ScratchDirectory scratch;
    PngFrameWriter writer(scratch.file("deep/frames"), 3, 2);
    std::string reason;
    ASSERT_TRUE(writer.prepare(reason)) << reason;
    for (int frame = 0; frame < 7; ++frame) {
        std::vector<std::uint8_t> pixels = writer.takeBuffer();
        ASSERT_EQ(pixels.size(), 18u);
        std::fill(pixels.begin(), pixels.end(), static_cast<std::uint8_t>(frame * 30));
        ASSERT_TRUE(writer.submit(std::move(pixels)));
    }
    ASSERT_TRUE(writer.finish(reason)) << reason;
    EXPECT_EQ(writer.framesWritten(), 7u);
    for (int frame = 0; frame < 7; ++frame) {
        Picture picture;
        const std::string path =
            scratch.file("deep/frames/" + PngFrameWriter::frameName(static_cast<unsigned>(frame)));
        ASSERT_TRUE(capturetest::readPng(path, picture, reason)) << path << ": " << reason;
        EXPECT_EQ(picture.pixel(1, 1)[2], frame * 30) << path;
    }
    EXPECT_EQ(PngFrameWriter::frameName(123456), "frame_123456.png");
}

TEST(PngFrameWriterTest, AnEarlierCapturesFramesOrAFileInTheWayAreRefused) {
    ScratchDirectory scratch;
    fs::create_directory(scratch.file("used"));
    writeText(scratch.file("used/frame_000000.png"), "old");
    PngFrameWriter used(scratch.file("used"), 2, 2);
    std::string reason;
    EXPECT_FALSE(used.prepare(reason));
    EXPECT_NE(reason.find("already holds frames"), std::string::npos) << reason;
    writeText(scratch.file("plain"), "x");
    PngFrameWriter blocked(scratch.file("plain"), 2, 2);
    EXPECT_FALSE(blocked.prepare(reason));
    EXPECT_FALSE(reason.empty());
}

TEST(PngFrameWriterTest, AWriteFailureStopsTheLineAndNamesTheFrame) {
    ScratchDirectory scratch;
    PngFrameWriter writer(scratch.file("frames"), 2, 2);
    std::string reason;
    ASSERT_TRUE(writer.prepare(reason)) << reason;
    fs::remove(scratch.file("frames"));
    bool refused = false;
    for (int frame = 0; frame < 10 && !refused; ++frame) {
        refused = !writer.submit(writer.takeBuffer());
    }
    EXPECT_FALSE(writer.finish(reason));
    EXPECT_NE(reason.find("frame_000000.png: No such file or directory"), std::string::npos)
        << reason;
    EXPECT_EQ(writer.framesWritten(), 0u);
}

class ProgramPath : public ::testing::Test {
protected:
    void SetUp() override {
        const char* path = std::getenv("PATH");
        savedPath = path ? path : "";
        std::signal(SIGPIPE, SIG_IGN);
    }
    void TearDown() override { setenv("PATH", savedPath.c_str(), 1); }

    void install(const std::string& name, const std::string& script, fs::perms permissions) {
        writeText(scratch.file(name), "#!/bin/sh\n" + script + "\n");
        fs::permissions(scratch.file(name), permissions);
    }

    ScratchDirectory scratch;
    std::string savedPath;
};

TEST_F(ProgramPath, OnlyExecutableFilesOnThePathAreFound) {
    install("runs", "exit 0", fs::perms::owner_all);
    install("readonly", "exit 0", fs::perms::owner_read);
    fs::create_directory(scratch.file("folder"));
    setenv("PATH", ("/nonexistent::" + scratch.path()).c_str(), 1);
    EXPECT_EQ(findProgram("runs"), scratch.file("runs"));
    EXPECT_EQ(findProgram("readonly"), "");
    EXPECT_EQ(findProgram("folder"), "");
    EXPECT_EQ(findProgram("absent"), "");
}

TEST_F(ProgramPath, AChildGetsItsInputAndReportsItsStatus) {
    ChildProgram copier;
    std::string reason;
    const std::string copy = scratch.file("copy");
    ASSERT_TRUE(copier.start({"/bin/sh", "-c", "cat > '" + copy + "'; exit 3"}, true, reason))
        << reason;
    ASSERT_TRUE(copier.write("frames", 6, reason)) << reason;
    EXPECT_EQ(copier.finish(), 3);
    std::ifstream copied(copy);
    std::string text;
    copied >> text;
    EXPECT_EQ(text, "frames");
}

TEST_F(ProgramPath, AChildThatStopsReadingFailsTheWriteInsteadOfTheProcess) {
    ChildProgram quitter;
    std::string reason;
    ASSERT_TRUE(quitter.start({"/bin/sh", "-c", "exit 1"}, true, reason)) << reason;
    const std::vector<char> frame(1 << 20, 'x');
    bool written = true;
    for (int attempt = 0; attempt < 64 && written; ++attempt) {
        written = quitter.write(frame.data(), frame.size(), reason);
    }
    EXPECT_FALSE(written);
    EXPECT_EQ(reason, "it stopped reading its input");
    EXPECT_EQ(quitter.finish(), 1);
    ChildProgram missing;
    EXPECT_FALSE(missing.start({scratch.file("absent")}, false, reason));
    EXPECT_EQ(reason, "No such file or directory");
}

TEST(CaptureOutputsTest, TheWavHoldsExactlyTheSoundOfTheWrittenFrames) {
    ScratchDirectory scratch;
    CaptureOptions options;
    options.wavFile = scratch.file("music.wav");
    CaptureOutputs outputs(options);
    std::string message;
    ASSERT_TRUE(outputs.prepare(message)) << message;
    EXPECT_FALSE(outputs.wantsPictures());
    std::vector<std::int16_t> expected;
    for (int frame = 0; frame < 5; ++frame) {
        const std::vector<std::int16_t> heard(2 * (735 + frame % 2),
                                              static_cast<std::int16_t>(frame - 2));
        outputs.writeSound(heard);
        expected.insert(expected.end(), heard.begin(), heard.end());
    }
    EXPECT_FALSE(fs::exists(options.wavFile));
    ASSERT_TRUE(outputs.finish(message)) << message;
    capturetest::WavSound sound;
    ASSERT_TRUE(capturetest::readWav(options.wavFile, sound, message)) << message;
    EXPECT_EQ(sound.rate, 44100);
    EXPECT_EQ(sound.channels, 2);
    EXPECT_EQ(sound.bitsPerSample, 16);
    EXPECT_EQ(sound.samples, expected);
    EXPECT_EQ(scratch.entries(), std::vector<std::string>{"music.wav"});
}

TEST(CaptureOutputsTest, AbandonedOutputsSayWhatStaysAndWhatWasNotMade) {
    ScratchDirectory scratch;
    CaptureOptions options;
    options.framesDirectory = scratch.file("frames");
    options.wavFile = scratch.file("music.wav");
    CaptureOutputs outputs(options);
    std::string message;
    ASSERT_TRUE(outputs.prepare(message)) << message;
    for (int frame = 0; frame < 3; ++frame) {
        outputs.writePicture(rowCoded(800, 600));
    }
    outputs.writeSound(std::vector<std::int16_t>(1470, 5));
    const std::string note = outputs.abandon();
    EXPECT_NE(note.find("music.wav was not made"), std::string::npos) << note;
    EXPECT_EQ(scratch.entries(), std::vector<std::string>{"frames"});
    // Abandoning stops the line, so any number of the frames may be there: the note names them.
    std::vector<std::string> frames;
    for (const auto& entry : fs::directory_iterator(options.framesDirectory)) {
        frames.push_back(entry.path().filename().string());
    }
    if (frames.empty()) {
        EXPECT_EQ(note.find("stay in"), std::string::npos) << note;
    } else {
        const std::string expected = "frames frame_000000.png to " +
                                     PngFrameWriter::frameName(frames.size() - 1) + " stay in " +
                                     options.framesDirectory;
        EXPECT_NE(note.find(expected), std::string::npos) << note;
    }
}

} // namespace
