#include "frame_rate.h"

#include <charconv>

namespace {

// Frame numbers times sample rates times denominators outgrow 64 bits.
__extension__ typedef unsigned __int128 Wide;

constexpr int mostDecimals = 9;

std::optional<std::uint64_t> parseDigits(std::string_view text) {
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

bool allDigits(std::string_view text) {
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return !text.empty();
}

} // namespace

std::optional<ExactSeconds> parseSeconds(std::string_view text) {
    const std::size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view{} : text.substr(point + 1);
    if (!allDigits(whole) || (point != std::string_view::npos && !allDigits(fraction)) ||
        fraction.size() > mostDecimals || whole.size() > 7) {
        return std::nullopt;
    }
    ExactSeconds seconds{*parseDigits(whole), 1};
    for (const char digit : fraction) {
        seconds.numerator = seconds.numerator * 10 + static_cast<std::uint64_t>(digit - '0');
        seconds.denominator *= 10;
    }
    if (seconds.numerator > longestSeconds * seconds.denominator) {
        return std::nullopt;
    }
    return seconds;
}

FrameRate::FrameRate(std::uint32_t numerator, std::uint32_t denominator)
    : framesTerm(numerator), secondsTerm(denominator) {}

std::optional<FrameRate> FrameRate::parse(std::string_view text) {
    const std::size_t slash = text.find('/');
    const std::optional<std::uint64_t> numerator = parseDigits(text.substr(0, slash));
    const std::optional<std::uint64_t> denominator = slash == std::string_view::npos
                                                         ? std::optional<std::uint64_t>{1}
                                                         : parseDigits(text.substr(slash + 1));
    if (!numerator || !denominator || *numerator == 0 || *denominator == 0 ||
        *numerator > largestTerm || *denominator > largestTerm || *numerator < *denominator ||
        *numerator > std::uint64_t{fastest} * *denominator) {
        return std::nullopt;
    }
    return FrameRate(static_cast<std::uint32_t>(*numerator),
                     static_cast<std::uint32_t>(*denominator));
}

double FrameRate::framesPerSecond() const {
    return static_cast<double>(framesTerm) / static_cast<double>(secondsTerm);
}

std::uint64_t FrameRate::millisecondsAt(std::uint64_t frame) const {
    return samplesAt(frame, 1000);
}

std::uint64_t FrameRate::samplesAt(std::uint64_t frame, std::uint32_t sampleRate) const {
    return static_cast<std::uint64_t>(Wide{frame} * sampleRate * secondsTerm / framesTerm);
}

std::uint64_t FrameRate::firstFrameAtOrAfter(ExactSeconds time) const {
    const Wide scaled = Wide{time.numerator} * framesTerm;
    const Wide divisor = Wide{time.denominator} * secondsTerm;
    return static_cast<std::uint64_t>((scaled + divisor - 1) / divisor);
}

double FrameRate::secondsAt(std::uint64_t frame) const {
    return static_cast<double>(frame) * secondsTerm / framesTerm;
}
