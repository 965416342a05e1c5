#include "capture_outputs.h"
#include "capture_test_files.h"
#include "child_program.h"
#include "common/png_writer.h"
#include "pending_file.h"
#include "png_frame_writer.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using capturetest::Picture;

namespace fs = std::filesystem;

const std::sig_atomic_t notInterrupted = 0;

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

std::string readText(const std::string& path) {
    std::stringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
}

// Writes the text as the whole output and puts it in place. False with the reason.
bool writeWhole(PendingFile& file, const std::string& text, std::string& reason) {
    if (!file.create(reason)) {
        return false;
    }
    writeText(file.temporaryPath(), text);
    return file.commit(notInterrupted, reason);
}

// Points the private folders of device and FIFO outputs into the scratch directory, so a test
// can see that none is left behind.
class PrivateTemporaryFolder {
public:
    explicit PrivateTemporaryFolder(const ScratchDirectory& scratch) : folder(scratch.file("tmp")) {
        const char* old = std::getenv("TMPDIR");
        saved = old ? std::optional<std::string>(old) : std::nullopt;
        fs::create_directory(folder);
        setenv("TMPDIR", folder.c_str(), 1);
    }
    ~PrivateTemporaryFolder() {
        if (saved) {
            setenv("TMPDIR", saved->c_str(), 1);
        } else {
            unsetenv("TMPDIR");
        }
    }
    bool empty() const { return fs::is_empty(folder); }

private:
    std::string folder;
    std::optional<std::string> saved;
};

TEST(PendingFileTest, OnlyACommittedFileTakesItsName) {
    ScratchDirectory scratch;
    const std::string target = scratch.file("music.wav");
    {
        PendingFile file(target);
        std::string reason;
        ASSERT_TRUE(file.create(reason)) << reason;
        EXPECT_TRUE(fs::exists(file.temporaryPath()));
        EXPECT_FALSE(fs::exists(target));
        ASSERT_TRUE(file.commit(notInterrupted, reason)) << reason;
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

TEST(PendingFileTest, DevicesAndFifosAreWrittenInPlaceAndNeverReplaced) {
    ScratchDirectory scratch;
    if (!capturetest::makeDeviceCopies(scratch)) {
        GTEST_SKIP() << "device nodes cannot be made here (not root?)";
    }
    PrivateTemporaryFolder temporaryFolder(scratch);
    std::string reason;
    {
        PendingFile null(scratch.file("null"));
        EXPECT_TRUE(writeWhole(null, "frames", reason)) << reason;
        PendingFile full(scratch.file("full"));
        EXPECT_FALSE(writeWhole(full, "frames", reason));
        EXPECT_EQ(reason, "No space left on device");
        EXPECT_EQ(full.abandonNote(), "nothing was written to " + scratch.file("full"));
    }
    EXPECT_TRUE(capturetest::isCharacterDevice(scratch.file("null"), 1, 3));
    EXPECT_TRUE(capturetest::isCharacterDevice(scratch.file("full"), 1, 7));
    ASSERT_EQ(::mkfifo(scratch.file("fifo").c_str(), 0666), 0);
    {
        // Nothing reads it: refused at once instead of waiting for a reader.
        PendingFile unread(scratch.file("fifo"));
        EXPECT_FALSE(unread.create(reason));
        EXPECT_NE(reason.find("nothing reads this FIFO"), std::string::npos) << reason;
    }
    const int reader = ::open(scratch.file("fifo").c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    {
        PendingFile fifo(scratch.file("fifo"));
        EXPECT_TRUE(writeWhole(fifo, "sound", reason)) << reason;
    }
    char received[16] = {};
    EXPECT_EQ(::read(reader, received, sizeof received), 5);
    EXPECT_EQ(std::string(received), "sound");
    ::close(reader);
    EXPECT_TRUE(fs::is_fifo(fs::symlink_status(scratch.file("fifo"))));
    EXPECT_EQ(scratch.entries(), (std::vector<std::string>{"fifo", "full", "null", "tmp"}));
    EXPECT_TRUE(temporaryFolder.empty());
}

TEST(PendingFileTest, LinksAreFollowedToTheFileTheyNameAndStay) {
    ScratchDirectory scratch;
    fs::create_directory(scratch.file("music"));
    writeText(scratch.file("music/real.wav"), "old");
    fs::create_symlink("music/real.wav", scratch.file("second"));
    fs::create_symlink(scratch.file("second"), scratch.file("first"));
    // Dangling: the file it names is made.
    fs::create_symlink("music/new.wav", scratch.file("dangling"));
    fs::create_symlink("loop-b", scratch.file("loop-a"));
    fs::create_symlink("loop-a", scratch.file("loop-b"));
    fs::create_symlink("absent/x.wav", scratch.file("nowhere"));
    std::string reason;
    PendingFile chain(scratch.file("first"));
    ASSERT_TRUE(writeWhole(chain, "new", reason)) << reason;
    PendingFile dangling(scratch.file("dangling"));
    ASSERT_TRUE(writeWhole(dangling, "made", reason)) << reason;
    EXPECT_EQ(readText(scratch.file("music/real.wav")), "new");
    EXPECT_EQ(readText(scratch.file("music/new.wav")), "made");
    for (const char* link : {"first", "second", "dangling"}) {
        EXPECT_TRUE(fs::is_symlink(scratch.file(link))) << link;
    }
    EXPECT_EQ(fs::read_symlink(scratch.file("dangling")), "music/new.wav");
    PendingFile loop(scratch.file("loop-a"));
    EXPECT_FALSE(loop.create(reason));
    EXPECT_EQ(reason, "Too many levels of symbolic links");
    PendingFile nowhere(scratch.file("nowhere"));
    EXPECT_FALSE(nowhere.create(reason));
    EXPECT_EQ(reason, "the folder " + scratch.file("absent") + " does not exist");
    EXPECT_EQ(scratch.entries(), (std::vector<std::string>{"dangling", "first", "loop-a", "loop-b",
                                                           "music", "nowhere", "second"}));
}

TEST(PendingFileTest, PlacesThatCannotTakeTheFileAreRefusedBeforeAnythingIsMade) {
    ScratchDirectory scratch;
    fs::create_directory(scratch.file("folder"));
    writeText(scratch.file("victim"), "kept");
    fs::create_symlink(scratch.file("victim"), scratch.file("blocked.wav.partial"));
    // 255 characters is the longest name: the temporary file's suffix takes it past.
    const std::string longest = scratch.file(std::string(251, 'n') + ".wav");
    const std::string tooLong = scratch.file(std::string(252, 'n') + ".wav");
    const std::vector<std::pair<std::string, std::string>> cases = {
        {scratch.file("folder"), "Is a directory"},
        {scratch.file("missing/a.wav"),
         "the folder " + scratch.file("missing") + " does not exist"},
        {scratch.file("victim/a.wav"), "Not a directory"},
        {longest, "the name is too long to add \".partial\" to it for a temporary file"},
        {tooLong, "File name too long"},
        {scratch.file("blocked.wav"),
         scratch.file("blocked.wav.partial") + " is in the way and is not a regular file"},
    };
    for (const auto& [path, expected] : cases) {
        PendingFile file(path);
        std::string reason;
        EXPECT_FALSE(file.create(reason)) << path;
        EXPECT_EQ(reason, expected) << path;
    }
    EXPECT_EQ(readText(scratch.file("victim")), "kept");
    EXPECT_EQ(scratch.entries(),
              (std::vector<std::string>{"blocked.wav.partial", "folder", "victim"}));
    PendingFile existing(scratch.file("victim"));
    std::string reason;
    ASSERT_TRUE(existing.create(reason)) << reason;
    existing.discard();
    EXPECT_EQ(existing.abandonNote(), scratch.file("victim") + " was left as it was");
}

TEST(PngFileTest, PicturesAreStoredTopRowFirstWithExactColours) {
    ScratchDirectory scratch;
    const std::string path = scratch.file("rows.png");
    std::string reason;
    ASSERT_TRUE(writePngFile(path, rowCoded(5, 4).data(), 5, 4, PngRowOrder::bottomFirst,
                             PngPurpose::frame, reason))
        << reason;
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

// Noise: every difference between neighbours wraps somewhere, and nothing compresses.
TEST(PngFileTest, AFrameOfNoiseComesBackByteForByte) {
    ScratchDirectory scratch;
    const int width = 801;
    const int height = 3;
    std::vector<std::uint8_t> noise(static_cast<std::size_t>(width * height * 3));
    std::uint32_t state = 12345;
    for (std::uint8_t& byte : noise) {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<std::uint8_t>(state >> 24);
    }
    const std::string path = scratch.file("noise.png");
    std::string reason;
    ASSERT_TRUE(writePngFile(path, noise.data(), width, height, PngRowOrder::topFirst,
                             PngPurpose::frame, reason))
        << reason;
    Picture picture;
    ASSERT_TRUE(capturetest::readPng(path, picture, reason)) << reason;
    ASSERT_EQ(picture.width, width);
    ASSERT_EQ(picture.height, height);
    EXPECT_TRUE(picture.rgb == noise);
}

TEST(PngFileTest, AFailedWriteLeavesNoFile) {
    ScratchDirectory scratch;
    std::string reason;
    EXPECT_FALSE(writePngFile(scratch.file("missing/x.png"), rowCoded(2, 2).data(), 2, 2,
                              PngRowOrder::bottomFirst, PngPurpose::frame, reason));
    EXPECT_EQ(reason, "No such file or directory");
    // A full device: libpng's write fails part-way and the partial file goes.
    if (fs::exists("/dev/full")) {
        const std::string full = scratch.file("full.png");
        fs::create_symlink("/dev/full", full);
        EXPECT_FALSE(writePngFile(full, rowCoded(64, 64).data(), 64, 64, PngRowOrder::bottomFirst,
                                  PngPurpose::frame, reason));
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

TEST(PngFrameWriterTest, ADirectoryThatTakesNoNewFilesIsNamedAsSuch) {
    ScratchDirectory scratch;
    fs::create_directory(scratch.file("gone"));
    const fs::path working = fs::current_path();
    // Still a directory to the process working in it, but no name can be made in it any more.
    fs::current_path(scratch.file("gone"));
    fs::remove(scratch.file("gone"));
    PngFrameWriter writer(".", 2, 2);
    std::string reason;
    const bool prepared = writer.prepare(reason);
    fs::current_path(working);
    EXPECT_FALSE(prepared);
    EXPECT_EQ(reason, "no files can be made in this directory");
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
    EXPECT_EQ(copier.finish(notInterrupted), 3);
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
    EXPECT_EQ(quitter.finish(notInterrupted), 1);
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
    ASSERT_TRUE(outputs.finish(notInterrupted, message)) << message;
    capturetest::WavSound sound;
    ASSERT_TRUE(capturetest::readWav(options.wavFile, sound, message)) << message;
    EXPECT_EQ(sound.rate, 44100);
    EXPECT_EQ(sound.channels, 2);
    EXPECT_EQ(sound.bitsPerSample, 16);
    EXPECT_EQ(sound.samples, expected);
    EXPECT_EQ(scratch.entries(), std::vector<std::string>{"music.wav"});
}

TEST(CaptureOutputsTest, OneFileNamedTwiceIsRefusedBeforeAnythingIsMade) {
    ScratchDirectory scratch;
    writeText(scratch.file("old.mp4"), "old");
    fs::create_symlink("old.mp4", scratch.file("link.mp4"));
    fs::create_hard_link(scratch.file("old.mp4"), scratch.file("hard.mp4"));
    struct Case {
        std::string frames, video, wav, message;
    };
    const std::vector<Case> cases = {
        {"", "a.mp4", "./a.mp4", "--video and --wav name the same file"},
        {"", "link.mp4", "old.mp4", "--video and --wav name the same file"},
        {"", "hard.mp4", "old.mp4", "--video and --wav name the same file"},
        {"", "a.mp4", "a.mp4.video", "--video and --wav need the same temporary file"},
        // The video keeps the music in a.mp4.wav.partial only when there is no --wav.
        {"", "a.mp4", "a.mp4.wav", ""},
        {"a.mp4.wav.partial", "a.mp4", "", "--frames and --video need the same temporary file"},
        {"./out/", "", "out", "--frames and --wav name the same file"},
    };
    for (const Case& test : cases) {
        CaptureOptions options;
        for (auto [path, name] : {std::pair{&options.framesDirectory, test.frames},
                                  {&options.videoFile, test.video},
                                  {&options.wavFile, test.wav}}) {
            *path = name.empty() ? "" : scratch.file(name);
        }
        CaptureOutputs outputs(options);
        std::string message;
        const bool prepared = outputs.prepare(message);
        if (test.message.empty()) {
            EXPECT_TRUE(prepared || message.find("ffmpeg") != std::string::npos) << message;
        } else {
            EXPECT_FALSE(prepared) << test.video << " " << test.wav;
            EXPECT_NE(message.find(test.message), std::string::npos) << message;
        }
        outputs.abandon();
        EXPECT_EQ(scratch.entries(), (std::vector<std::string>{"hard.mp4", "link.mp4", "old.mp4"}));
    }
}

TEST(CaptureOutputsTest, AFullDeviceFailsTheWavAndStaysADevice) {
    ScratchDirectory scratch;
    if (!capturetest::makeDeviceCopies(scratch)) {
        GTEST_SKIP() << "device nodes cannot be made here (not root?)";
    }
    PrivateTemporaryFolder temporaryFolder(scratch);
    CaptureOptions options;
    options.wavFile = scratch.file("full");
    CaptureOutputs outputs(options);
    std::string message;
    ASSERT_TRUE(outputs.prepare(message)) << message;
    outputs.writeSound(std::vector<std::int16_t>(1470, 5));
    EXPECT_FALSE(outputs.finish(notInterrupted, message));
    EXPECT_EQ(message, options.wavFile + ": No space left on device");
    EXPECT_EQ(outputs.abandon(), "nothing was written to " + options.wavFile);
    EXPECT_TRUE(capturetest::isCharacterDevice(options.wavFile, 1, 7));
    EXPECT_TRUE(temporaryFolder.empty());
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
