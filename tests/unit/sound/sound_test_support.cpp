#include "sound_test_support.h"

#include "platform/sound_decoder.h"

#include <stdexcept>

namespace soundtest {

TestLoop makeLoop(const std::string& path, const std::vector<std::int16_t>& stereoSignal) {
    TestLoop loop;
    loop.path = writeMp3(path, stereoSignal);
    std::string reason;
    if (platform::decodeSoundFile(path.c_str(), 44100, loop.decoded, reason) !=
        platform::DecodeResult::decoded) {
        throw std::runtime_error("cannot decode " + path + ": " + reason);
    }
    return loop;
}

std::vector<std::int16_t> frameRange(std::span<const std::int16_t> samples, std::size_t from,
                                     std::size_t count) {
    if ((from + count) * 2 > samples.size()) {
        throw std::out_of_range("frame range beyond the samples");
    }
    return {samples.begin() + from * 2, samples.begin() + (from + count) * 2};
}

std::vector<std::int16_t> frameRange(const std::vector<std::int16_t>& samples, std::size_t from,
                                     std::size_t count) {
    return frameRange(std::span<const std::int16_t>(samples), from, count);
}

std::string escapeRegex(const std::string& text) {
    std::string escaped;
    for (const char c : text) {
        if (std::string("\\^$.|?*+()[]{}").find(c) != std::string::npos) {
            escaped += '\\';
        }
        escaped += c;
    }
    return escaped;
}

} // namespace soundtest
