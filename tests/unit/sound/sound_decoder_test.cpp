#include "mp3_test_files.h"
#include "platform/sound_decoder.h"
#include "platform/sound_stream.h"
#include "platform/startup_probe.h"

#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>

namespace {

using platform::DecodeResult;
using platform::decodeSoundFile;

constexpr int mixRate = 44100;

struct Decoded {
    DecodeResult result = DecodeResult::corrupt;
    std::vector<std::int16_t> samples;
    std::string reason;
    std::size_t frames() const { return samples.size() / 2; }
};

Decoded decode(const std::string& fileName, int rate = mixRate) {
    Decoded decoded;
    decoded.result = decodeSoundFile(fileName.c_str(), rate, decoded.samples, decoded.reason);
    return decoded;
}

// The lag (in frames) at which the decoded left channel matches the source best.
int bestLag(const std::vector<std::int16_t>& source, int sourceChannels,
            const std::vector<std::int16_t>& decoded, int window) {
    int best = 0;
    double bestScore = -1e300;
    for (int lag = -64; lag <= 64; ++lag) {
        double score = 0;
        for (int i = 128; i < window; ++i) {
            score +=
                double(source[std::size_t(i) * sourceChannels]) * decoded[std::size_t(i + lag) * 2];
        }
        if (score > bestScore) {
            bestScore = score;
            best = lag;
        }
    }
    return best;
}

double relativeError(const std::vector<std::int16_t>& source, int sourceChannels,
                     const std::vector<std::int16_t>& decoded, int channel, int frames) {
    double error = 0;
    double energy = 0;
    for (int i = 0; i < frames; ++i) {
        const double expected = source[std::size_t(i) * sourceChannels + channel];
        const double difference = decoded[std::size_t(i) * 2 + channel] - expected;
        error += difference * difference;
        energy += expected * expected;
    }
    return std::sqrt(error / energy);
}

std::vector<std::int16_t> sine(std::uint32_t frames, int channels, int rate, double frequency) {
    std::vector<std::int16_t> samples(std::size_t(frames) * channels);
    for (std::uint32_t i = 0; i < frames; ++i) {
        const double value = 12000.0 * std::sin(2 * 3.14159265358979 * frequency * i / rate);
        for (int c = 0; c < channels; ++c) {
            samples[std::size_t(i) * channels + c] = std::int16_t(std::lround(value));
        }
    }
    return samples;
}

class SoundDecoderTest : public ::testing::Test {
protected:
    ScratchDirectory directory;
};

TEST_F(SoundDecoderTest, GaplessLengthEqualsTheEncodedSampleCount) {
    struct Case {
        std::uint32_t frames;
        int channels;
        int vbrQuality;
    };
    // Lengths on and off the 1152-sample frame grid, a 15 s loop, VBR and CBR, mono and stereo.
    const Case cases[] = {
        {1000, 2, 4}, {1152 * 10, 2, 4}, {44100, 2, -1}, {44100 * 3 + 17, 1, 2}, {661500, 2, 4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.frames << " frames, " << c.channels << " channels");
        Mp3Settings settings;
        settings.channels = c.channels;
        settings.vbrQuality = c.vbrQuality;
        const auto source = soundtest::makeSignal(c.frames, c.channels, mixRate);
        const Decoded decoded =
            decode(soundtest::writeMp3(directory.file("loop.mp3"), source, settings));
        ASSERT_EQ(decoded.result, DecodeResult::decoded) << decoded.reason;
        EXPECT_EQ(decoded.frames(), c.frames);
    }
}

TEST_F(SoundDecoderTest, FirstSamplesLineUpWithTheSource) {
    const auto source = soundtest::makeSignal(44100, 2, mixRate);
    const Decoded decoded = decode(soundtest::writeMp3(directory.file("a.mp3"), source));
    ASSERT_EQ(decoded.result, DecodeResult::decoded) << decoded.reason;
    EXPECT_EQ(bestLag(source, 2, decoded.samples, 4096), 0);
    // Sample by sample from the very first one, both sides, within the codec's loss.
    EXPECT_LT(relativeError(source, 2, decoded.samples, 0, 2048), 0.1);
    EXPECT_LT(relativeError(source, 2, decoded.samples, 1, 2048), 0.1);
}

TEST_F(SoundDecoderTest, AnUntaggedFileLongerThanItsHeadersSuggestStillDecodesWhole) {
    // Loud noise first, then a quiet tone: without the tag the length is guessed from the first
    // frames' high bit rate, far too short, and the decoder has to grow its room as it goes.
    std::vector<std::int16_t> source(std::size_t(44100) * 6 * 2);
    std::uint32_t noise = 1;
    for (std::size_t i = 0; i < source.size(); ++i) {
        noise = noise * 1664525u + 1013904223u;
        const bool loud = i < 4410 * 2;
        source[i] = loud ? std::int16_t(noise >> 16) : std::int16_t(200.0 * std::sin(i * 0.01));
    }
    Mp3Settings settings;
    settings.writeTag = false;
    settings.vbrQuality = 2;
    const Decoded decoded =
        decode(soundtest::writeMp3(directory.file("untagged.mp3"), source, settings));
    ASSERT_EQ(decoded.result, DecodeResult::decoded) << decoded.reason;
    // The encoder's delay and padding stay in: up to two frames and a half more.
    EXPECT_GE(decoded.frames(), 44100u * 6);
    EXPECT_LE(decoded.frames(), 44100u * 6 + 1152 * 2 + 576);
}

TEST_F(SoundDecoderTest, MonoIsDoubledToBothSides) {
    Mp3Settings settings;
    settings.channels = 1;
    const auto source = soundtest::makeSignal(22050, 1, mixRate);
    const Decoded decoded =
        decode(soundtest::writeMp3(directory.file("mono.mp3"), source, settings));
    ASSERT_EQ(decoded.result, DecodeResult::decoded) << decoded.reason;
    ASSERT_EQ(decoded.frames(), 22050u);
    for (std::size_t i = 0; i < decoded.frames(); ++i) {
        ASSERT_EQ(decoded.samples[i * 2], decoded.samples[i * 2 + 1]) << "frame " << i;
    }
    EXPECT_LT(relativeError(source, 1, decoded.samples, 0, 2048), 0.1);
}

TEST_F(SoundDecoderTest, OtherRatesAreRefusedWithTheRateNamed) {
    // Never relabelled as 44100 Hz (which would play them at the wrong speed and pitch).
    for (const int rate : {48000, 22050}) {
        SCOPED_TRACE(rate);
        Mp3Settings settings;
        settings.rate = rate;
        const auto source = sine(std::uint32_t(rate), 2, rate, 1000.0);
        const Decoded decoded =
            decode(soundtest::writeMp3(directory.file("rate.mp3"), source, settings));
        EXPECT_EQ(decoded.result, DecodeResult::corrupt);
        EXPECT_NE(decoded.reason.find(std::to_string(rate) + " Hz"), std::string::npos)
            << decoded.reason;
    }
}

TEST_F(SoundDecoderTest, DamagedInfoFrameAtAnotherRateEndsPromptly) {
    // Found by fuzzing: its info frame sent the library's resampler into an endless loop.
    const Decoded decoded = decode(LUMIVAHA_MP3_CORPUS "/regression-resampler-loop.mp3");
    EXPECT_EQ(decoded.result, DecodeResult::corrupt);
}

TEST_F(SoundDecoderTest, MissingFilesAreToldApartFromCorruptOnes) {
    EXPECT_EQ(decode(directory.file("absent.mp3")).result, DecodeResult::missing);
    EXPECT_EQ(decode(directory.file("no/such/dir/x.mp3")).result, DecodeResult::missing);
}

TEST_F(SoundDecoderTest, CorruptFilesComeBackWithTheReason) {
    const auto valid = soundtest::mp3Bytes(soundtest::makeSignal(44100, 2, mixRate), {});
    ASSERT_GT(valid.size(), 3000u);
    std::vector<unsigned char> text;
    for (int i = 0; i < 1000; ++i) {
        const std::string line = "This is a text file, not music.\n";
        text.insert(text.end(), line.begin(), line.end());
    }
    const std::vector<unsigned char> cutInTag(valid.begin(), valid.begin() + 100);
    std::vector<unsigned char> garbageTail(valid.begin(), valid.begin() + 3000);
    garbageTail.insert(garbageTail.end(), 100000, 0);

    struct Case {
        const char* name;
        std::vector<unsigned char> bytes;
        const char* reason;
    };
    const Case cases[] = {
        {"empty", {}, "the file is empty"},
        {"text", text, "no MPEG audio frames found"},
        {"cut short", cutInTag, "the file is cut short before any audio"},
        {"garbage after the first frames", garbageTail, "Failed to find valid MPEG data"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = directory.file("bad.mp3");
        ASSERT_TRUE(soundtest::writeBytes(path, c.bytes));
        const Decoded decoded = decode(path);
        EXPECT_EQ(decoded.result, DecodeResult::corrupt);
        EXPECT_NE(decoded.reason.find(c.reason), std::string::npos) << decoded.reason;
        EXPECT_TRUE(decoded.samples.empty());
    }
}

TEST_F(SoundDecoderTest, AnythingButARegularFileIsRefusedWithoutWaitingOnIt) {
    // A FIFO nobody writes would block an ordinary open for ever.
    for (const NotAFileCase& notAFile : notAFileCases) {
        const std::string path = directory.file("loop.mp3");
        std::filesystem::remove(path);
        ASSERT_TRUE(directory.makeNotAFile("loop.mp3", notAFile.kind)) << notAFile.refusal;
        const Decoded decoded = decode(path);
        EXPECT_EQ(decoded.result, DecodeResult::corrupt);
        EXPECT_EQ(decoded.reason, notAFile.refusal);
    }
}

TEST_F(SoundDecoderTest, AnOpenedFileReportsLateFaultsWhenDecoded) {
    auto bytes = soundtest::mp3Bytes(soundtest::makeSignal(44100, 2, mixRate), {});
    bytes.resize(3000);
    bytes.insert(bytes.end(), 100000, 0);
    const std::string path = directory.file("tail.mp3");
    ASSERT_TRUE(soundtest::writeBytes(path, bytes));

    platform::SoundDecoder decoder;
    std::string reason;
    ASSERT_EQ(decoder.open(path.c_str(), mixRate, reason), DecodeResult::decoded) << reason;
    platform::SampleBuffer samples;
    EXPECT_FALSE(decoder.decode(samples, reason));
    EXPECT_NE(reason.find("resync"), std::string::npos) << reason;
}

// Remembers each step's thread and hands every step a stamp of its own.
class StepLog final : public platform::StartupRecorder {
public:
    struct Step {
        platform::StartupStep step;
        std::thread::id thread;
        std::int64_t stamp;
    };

    std::int64_t stepStarted(platform::StartupStep step) override {
        return 100 + static_cast<std::int64_t>(step);
    }
    void stepFinished(platform::StartupStep step, std::int64_t stamp) override {
        const std::lock_guard<std::mutex> guard(lock);
        steps.push_back({step, std::this_thread::get_id(), stamp});
    }

    std::mutex lock;
    std::vector<Step> steps;
};

class InstalledRecorder {
public:
    explicit InstalledRecorder(platform::StartupRecorder& recorder) {
        platform::installStartupRecorder(&recorder);
    }
    ~InstalledRecorder() { platform::installStartupRecorder(nullptr); }
    InstalledRecorder(const InstalledRecorder&) = delete;
    InstalledRecorder& operator=(const InstalledRecorder&) = delete;
};

void openAndWait(const std::string& path) {
    auto decoder = std::make_unique<platform::SoundDecoder>();
    std::string reason;
    ASSERT_EQ(decoder->open(path.c_str(), mixRate, reason), DecodeResult::decoded) << reason;
    platform::SoundStream stream(path, std::move(decoder));
    stream.finishDecoding();
    // Decoding is over: no second wait to report.
    stream.finishDecoding();
    EXPECT_GT(stream.frameCount(), 0u);
}

TEST_F(SoundDecoderTest, StartupProbesReportTheDecodingOnItsWorkerAndNothingWithoutARecorder) {
    using platform::StartupStep;
    const std::string path =
        soundtest::writeMp3(directory.file("loop.mp3"), soundtest::makeSignal(20000, 2, mixRate));
    StepLog log;
    {
        const InstalledRecorder installed(log);
        openAndWait(path);
    }
    openAndWait(path);
    ASSERT_EQ(log.steps.size(), 3u);
    const std::thread::id here = std::this_thread::get_id();
    EXPECT_EQ(log.steps[0].step, StartupStep::loopOpen);
    EXPECT_EQ(log.steps[0].thread, here);
    // The worker finishes its step before the wait for it ends.
    EXPECT_EQ(log.steps[1].step, StartupStep::loopDecode);
    EXPECT_NE(log.steps[1].thread, here);
    EXPECT_EQ(log.steps[2].step, StartupStep::loopWait);
    EXPECT_EQ(log.steps[2].thread, here);
    for (const StepLog::Step& step : log.steps) {
        EXPECT_EQ(step.stamp, 100 + static_cast<std::int64_t>(step.step));
    }
}

} // namespace
