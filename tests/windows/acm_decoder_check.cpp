// Decodes MP3 files with the Windows build's decoder (ACM) as the demo does, each opened in turn
// and all decoded at once on threads of their own, for a native test to compare with libmpg123:
//     acm_decoder_check OUTPUT_FOLDER FILE...
// One line for each file on standard output: "decoded FRAMES", "missing" or "corrupt: REASON".
// The samples of the Nth file, when decoded, go to OUTPUT_FOLDER/N.raw (N from 1), interleaved
// 16-bit stereo. Names come in UTF-8 from the wide command line, as the demo's do.
#include "platform/sound_decoder.h"
#include "platform/sound_sample_buffer.h"
#include "platform/win32/wide_text.h"

#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int mixRate = 44100;

struct Decoding {
    platform::SoundDecoder decoder;
    platform::SampleBuffer samples;
    std::string outcome;
    std::thread thread;
};

bool writeSamples(const std::wstring& fileName, const platform::SampleBuffer& samples) {
    std::FILE* file = _wfopen(fileName.c_str(), L"wb");
    if (file == nullptr) {
        return false;
    }
    const bool written =
        std::fwrite(samples.data(), sizeof(std::int16_t), samples.size(), file) == samples.size();
    return std::fclose(file) == 0 && written;
}

void open(Decoding& decoding, const std::string& fileName) {
    std::string reason;
    switch (decoding.decoder.open(fileName.c_str(), mixRate, reason)) {
    case platform::DecodeResult::missing:
        decoding.outcome = "missing";
        return;
    case platform::DecodeResult::corrupt:
        decoding.outcome = "corrupt: " + reason;
        return;
    case platform::DecodeResult::decoded:
        break;
    }
    decoding.thread = std::thread([&decoding] {
        std::string failure;
        decoding.outcome = decoding.decoder.decode(decoding.samples, failure)
                               ? "decoded " + std::to_string(decoding.samples.size() / 2)
                               : "corrupt: " + failure;
    });
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fputs("usage: acm_decoder_check OUTPUT_FOLDER FILE...\n", stderr);
        return 2;
    }
    std::vector<std::unique_ptr<Decoding>> decodings;
    for (int i = 2; i < argc; ++i) {
        decodings.push_back(std::make_unique<Decoding>());
        open(*decodings.back(), platform::utf8FromWide(argv[i]));
    }
    int status = 0;
    for (std::size_t i = 0; i < decodings.size(); ++i) {
        Decoding& decoding = *decodings[i];
        if (decoding.thread.joinable()) {
            decoding.thread.join();
        }
        const std::wstring output = std::wstring(argv[1]) + L"/" + std::to_wstring(i + 1) + L".raw";
        if (decoding.samples.size() > 0 && !writeSamples(output, decoding.samples)) {
            std::fprintf(stderr, "Cannot write %s\n", platform::utf8FromWide(output).c_str());
            status = 1;
        }
        std::printf("%s\n", decoding.outcome.c_str());
    }
    return status;
}
