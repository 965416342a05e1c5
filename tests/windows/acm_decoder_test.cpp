// The Windows build's MP3 decoder (ACM) under Wine, in a prefix of its own, against the native
// one (libmpg123): the data set's loops come out alike but for rounding, and damaged files are
// refused for the same reasons. One Wine run decodes every case, as a fresh prefix costs most.
#include "mp3_test_files.h"
#include "platform/sound_decoder.h"
#include "resources/data_manifest.h"
#include "support/process.h"
#include "support/scratch_directory.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sstream>

namespace {

constexpr int mixRate = 44100;
// The two decoders round the same synthesis each their own way.
constexpr int largestDifference = 2;

// What the native decoder makes of a file, in the words the Windows check prints.
struct Decoded {
    std::string outcome;
    std::vector<std::int16_t> samples;
};

Decoded decodeNatively(const std::string& path) {
    Decoded decoded;
    std::string reason;
    switch (platform::decodeSoundFile(path.c_str(), mixRate, decoded.samples, reason)) {
    case platform::DecodeResult::missing:
        decoded.outcome = "missing";
        break;
    case platform::DecodeResult::corrupt:
        decoded.outcome = "corrupt: " + reason;
        break;
    case platform::DecodeResult::decoded:
        decoded.outcome = "decoded " + std::to_string(decoded.samples.size() / 2);
        break;
    }
    return decoded;
}

std::vector<unsigned char> bytesOf(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::vector<std::int16_t> samplesOf(const std::string& path) {
    const std::vector<unsigned char> bytes = bytesOf(path);
    std::vector<std::int16_t> samples(bytes.size() / sizeof(std::int16_t));
    std::memcpy(samples.data(), bytes.data(), samples.size() * sizeof(std::int16_t));
    return samples;
}

// The cases, in a folder with a name in more than ASCII: the loops of the data set, a mono
// file, and damaged ones.
std::vector<std::string> writeCases(const std::string& folder) {
    std::filesystem::create_directories(folder);
    std::vector<std::string> paths;
    for (const char* loop : loopFiles) {
        const std::string name = std::filesystem::path(loop).filename().string();
        std::filesystem::copy_file(std::string(LUMIVAHA_DATA_PARENT "/") + loop,
                                   folder + "/" + name);
        paths.push_back(folder + "/" + name);
    }
    Mp3Settings mono;
    mono.channels = 1;
    paths.push_back(
        soundtest::writeMp3(folder + "/mono.mp3", soundtest::makeSignal(30000, 1, mixRate), mono));
    Mp3Settings otherRate;
    otherRate.rate = 48000;
    paths.push_back(soundtest::writeMp3(folder + "/48000.mp3",
                                        soundtest::makeSignal(30000, 2, 48000), otherRate));
    const std::vector<unsigned char> loop = bytesOf(paths.front());
    const std::vector<std::pair<std::string, std::vector<unsigned char>>> damaged = {
        {"cut-in-half.mp3", {loop.begin(), loop.begin() + loop.size() / 2}},
        {"cut-in-tag.mp3", {loop.begin(), loop.begin() + 100}},
        {"empty.mp3", {}},
        {"text.mp3", std::vector<unsigned char>(3000, 'x')},
    };
    for (const auto& [name, bytes] : damaged) {
        EXPECT_TRUE(soundtest::writeBytes(folder + "/" + name, bytes));
        paths.push_back(folder + "/" + name);
    }
    std::filesystem::create_directory(folder + "/folder.mp3");
    paths.push_back(folder + "/folder.mp3");
    paths.push_back(folder + "/absent.mp3");
    return paths;
}

// Runs the check under Wine; its lines without the carriage returns Windows ends them with.
std::vector<std::string> decodeUnderWine(const ScratchDirectory& scratch,
                                         const std::vector<std::string>& paths) {
    // Nothing of Wine's reaches the user's home, and no installer asks for a display.
    const std::vector<std::pair<std::string, std::string>> environment = {
        {"WINEPREFIX", scratch.file("prefix")},
        {"HOME", scratch.file("home")},
        {"WINEDEBUG", "-all"},
        {"WINEDLLOVERRIDES", "mscoree,mshtml=;winemenubuilder.exe=d"},
        {"LC_ALL", "C.UTF-8"},
        {"DISPLAY", ""},
    };
    std::filesystem::create_directories(scratch.file("home"));
    std::filesystem::create_directories(scratch.file("decoded"));
    std::vector<std::string> arguments = {LUMIVAHA_WINE, LUMIVAHA_ACM_DECODER_CHECK,
                                          scratch.file("decoded")};
    arguments.insert(arguments.end(), paths.begin(), paths.end());
    ChildProcess check(arguments, environment);
    const std::optional<int> status = check.waitForExit(std::chrono::seconds(180));
    ChildProcess server({LUMIVAHA_WINESERVER, "-k"}, environment);
    server.waitForExit(std::chrono::seconds(30));
    EXPECT_EQ(status, 0) << check.standardError();
    std::vector<std::string> lines;
    std::istringstream output(check.standardOutput());
    for (std::string line; std::getline(output, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
    }
    return lines;
}

// Frames found in a cut file differ: ACM keeps the delay and the tag frame.
std::string withoutFramesFound(const std::string& outcome) {
    return outcome.substr(0, outcome.find(" sample frames, "));
}

void expectAlike(const std::vector<std::int16_t>& acm, const std::vector<std::int16_t>& native) {
    ASSERT_EQ(acm.size(), native.size());
    int largest = 0;
    double sum = 0;
    for (std::size_t i = 0; i < acm.size(); ++i) {
        const int difference = std::abs(acm[i] - native[i]);
        largest = std::max(largest, difference);
        sum += difference;
    }
    EXPECT_LE(largest, largestDifference)
        << "mean difference " << sum / static_cast<double>(acm.size());
}

TEST(AcmDecoderUnderWine, DecodesAsLibmpg123DoesAndRefusesDamagedFilesForTheSameReasons) {
    const ScratchDirectory scratch;
    const std::vector<std::string> paths = writeCases(scratch.file("äänet"));
    const std::vector<std::string> lines = decodeUnderWine(scratch, paths);
    ASSERT_EQ(lines.size(), paths.size());
    for (std::size_t i = 0; i < paths.size(); ++i) {
        SCOPED_TRACE(paths[i]);
        const Decoded native = decodeNatively(paths[i]);
        EXPECT_EQ(withoutFramesFound(lines[i]), withoutFramesFound(native.outcome));
        if (!native.samples.empty()) {
            const std::vector<std::int16_t> acm =
                samplesOf(scratch.file("decoded/" + std::to_string(i + 1) + ".raw"));
            expectAlike(acm, native.samples);
        }
    }
    // Every loop of the data set is exactly 15 s.
    for (std::size_t i = 0; i < loopFiles.size(); ++i) {
        EXPECT_EQ(lines[i], "decoded 661500") << loopFiles[i];
    }
}

} // namespace
