#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// A time given in decimal seconds, held exactly as numerator / denominator seconds.
struct ExactSeconds {
    std::uint64_t numerator = 0;
    std::uint64_t denominator = 1;
};

inline constexpr std::uint64_t longestSeconds = 1'000'000;

// "5", "14.5", "0.125": digits with at most nine decimals, no sign, no exponent, at most
// longestSeconds. Nothing for anything else.
std::optional<ExactSeconds> parseSeconds(std::string_view text);

// Frames per second as the ratio numerator / denominator. Frame k lies at k * denominator /
// numerator seconds; every time derived from a frame number is computed from k afresh in integer
// arithmetic, so nothing drifts however long the capture, whatever the rate.
class FrameRate {
public:
    static constexpr std::uint32_t largestTerm = 1'000'000;
    static constexpr std::uint32_t fastest = 1000;

    // numerator and denominator must be positive; parse checks the limits.
    FrameRate(std::uint32_t numerator, std::uint32_t denominator);
    // "60" or "60000/1001": from 1 to 1000 frames per second, terms up to largestTerm.
    static std::optional<FrameRate> parse(std::string_view text);

    std::uint32_t numerator() const { return framesTerm; }
    std::uint32_t denominator() const { return secondsTerm; }
    double framesPerSecond() const;

    // floor(frame * 1000 * denominator / numerator): the millisecond timer at the frame.
    std::uint64_t millisecondsAt(std::uint64_t frame) const;
    // floor(frame * sampleRate * denominator / numerator): the sound frames heard before it.
    std::uint64_t samplesAt(std::uint64_t frame, std::uint32_t sampleRate) const;
    // The first frame whose time is not before the given time.
    std::uint64_t firstFrameAtOrAfter(ExactSeconds time) const;
    // The frame's time in seconds, for people to read.
    double secondsAt(std::uint64_t frame) const;

private:
    std::uint32_t framesTerm;
    std::uint32_t secondsTerm;
};
