#include "capture_options.h"

#include "platform/messages.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <iterator>
#include <limits>
#include <strings.h>

const char* const captureUsage =
    "usage: lumivaha-capture [options]\n"
    "Renders the demo offline, frame by frame, at exact times.\n"
    "  --fps N | N/D      frames per second, 1 to 1000 (default 60; 60000/1001 is exact)\n"
    "  --seed N           the start-up's timer reading (default: the current time)\n"
    "  --from S, --to S   write the frames from S up to (not including) S seconds; frames\n"
    "                     before --from are still rendered (default: all, until the demo quits)\n"
    "  --frames DIR       write frame_000000.png, ... into DIR (an empty or new directory)\n"
    "  --video FILE.mp4   H.264 video with the music as AAC, through ffmpeg\n"
    "  --wav FILE         the music as heard, 44100 Hz stereo 16-bit\n"
    "  --press T:KEY      press Space, F1 or Escape at T seconds (repeatable)\n"
    "  --bench            write nothing; time the start-up and every scene pair\n"
    "  --bench-frames N   frames measured per scene pair and per floor (default 120)\n"
    "  --help, --version  show this text or the version, and do nothing else\n"
    "Times count from the capture's first frame: demo time until an F1 restart.\n";

namespace {

struct KeyName {
    const char* name;
    std::uintptr_t virtualKey;
};

constexpr KeyName keyNames[] = {
    {"Space", platform::VK_SPACE},
    {"F1", platform::VK_F1},
    {"Escape", platform::VK_ESCAPE},
};

constexpr std::string_view optionsWithValues[] = {
    "--fps",   "--seed", "--from",  "--to",           "--frames",
    "--video", "--wav",  "--press", "--bench-frames",
};

std::string quoted(std::string_view text) {
    std::string result;
    result.reserve(text.size() + 2);
    result.append(1, '"').append(text).append(1, '"');
    return result;
}

template <typename Number> std::optional<Number> parseNumber(std::string_view text) {
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

__extension__ typedef unsigned __int128 Wide;

bool lessTime(const ExactSeconds& a, const ExactSeconds& b) {
    return Wide{a.numerator} * b.denominator < Wide{b.numerator} * a.denominator;
}

std::optional<KeyPress> parsePress(std::string_view text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos) {
        return std::nullopt;
    }
    const std::optional<ExactSeconds> time = parseSeconds(text.substr(0, colon));
    const std::string key(text.substr(colon + 1));
    for (const KeyName& known : keyNames) {
        if (time && strcasecmp(key.c_str(), known.name) == 0) {
            return KeyPress{*time, known.virtualKey};
        }
    }
    return std::nullopt;
}

class OptionReader {
public:
    OptionReader(const std::vector<std::string_view>& arguments, CaptureOptions& options,
                 std::string& error)
        : arguments(arguments), options(options), error(error) {}

    bool readAll() {
        while (next < arguments.size()) {
            if (!readOne()) {
                return false;
            }
        }
        std::stable_sort(
            options.presses.begin(), options.presses.end(),
            [](const KeyPress& a, const KeyPress& b) { return lessTime(a.time, b.time); });
        return true;
    }

    bool givesBenchFrames() const { return benchFramesGiven; }

private:
    bool readOne() {
        std::string_view argument = arguments[next++];
        inlineValue.reset();
        if (const std::size_t equals = argument.find('=');
            argument.starts_with("--") && equals != std::string_view::npos) {
            inlineValue = argument.substr(equals + 1);
            argument = argument.substr(0, equals);
        }
        name = argument;
        if (bool* flag = flagNamed(argument)) {
            *flag = true;
            return inlineValue ? fail(std::string(argument) + " takes no value") : true;
        }
        if (!argument.starts_with("-") || argument == "-") {
            return fail("unexpected argument " + quoted(argument));
        }
        if (std::find(std::begin(optionsWithValues), std::end(optionsWithValues), argument) ==
            std::end(optionsWithValues)) {
            return fail("unknown option " + quoted(argument));
        }
        const std::optional<std::string_view> value = takeValue();
        if (!value) {
            return false;
        }
        return readValue(argument, *value);
    }

    bool* flagNamed(std::string_view argument) {
        if (argument == "--help" || argument == "-h") {
            return &options.help;
        }
        if (argument == "--version") {
            return &options.version;
        }
        return argument == "--bench" ? &options.bench : nullptr;
    }

    bool readValue(std::string_view option, std::string_view value) {
        if (option == "--fps") {
            return readFrameRate(value);
        }
        if (option == "--seed") {
            const auto seed = parseNumber<std::uint32_t>(value);
            return seed ? (options.seed = *seed, true)
                        : fail("--seed takes a whole number from 0 to 4294967295, not " +
                               quoted(value));
        }
        if (option == "--from" || option == "--to") {
            return readTime(option, value);
        }
        if (option == "--frames" || option == "--video" || option == "--wav") {
            return readPath(option, value);
        }
        if (option == "--press") {
            const std::optional<KeyPress> press = parsePress(value);
            return press ? (options.presses.push_back(*press), true)
                         : fail("--press takes T:KEY with KEY Space, F1 or Escape, not " +
                                quoted(value));
        }
        return readBenchFrames(value);
    }

    bool readBenchFrames(std::string_view value) {
        const auto frames = parseNumber<int>(value);
        benchFramesGiven = true;
        return frames && *frames >= 1 && *frames <= mostBenchFrames
                   ? (options.benchFrames = *frames, true)
                   : fail("--bench-frames takes a whole number from 1 to " +
                          std::to_string(mostBenchFrames) + ", not " + quoted(value));
    }

    bool readFrameRate(std::string_view value) {
        const std::optional<FrameRate> rate = FrameRate::parse(value);
        if (!rate) {
            return fail("--fps takes N or N/D frames per second from 1 to 1000 (such as 60 or "
                        "60000/1001), not " +
                        quoted(value));
        }
        options.frameRate = *rate;
        return true;
    }

    bool readTime(std::string_view option, std::string_view value) {
        const std::optional<ExactSeconds> time = parseSeconds(value);
        if (!time) {
            return fail(std::string(option) +
                        " takes seconds such as 14 or 14.5 (at most 1000000), not " +
                        quoted(value));
        }
        (option == "--from" ? options.from : options.to.emplace()) = *time;
        return true;
    }

    bool readPath(std::string_view option, std::string_view value) {
        if (value.empty()) {
            return fail(std::string(option) + " needs a non-empty path");
        }
        std::string& path = option == "--frames"  ? options.framesDirectory
                            : option == "--video" ? options.videoFile
                                                  : options.wavFile;
        path = value;
        return true;
    }

    std::optional<std::string_view> takeValue() {
        if (inlineValue) {
            return inlineValue;
        }
        if (next >= arguments.size()) {
            fail(std::string(name) + " needs a value");
            return std::nullopt;
        }
        return arguments[next++];
    }

    bool fail(std::string reason) {
        error = std::move(reason);
        return false;
    }

    const std::vector<std::string_view>& arguments;
    CaptureOptions& options;
    std::string& error;
    std::size_t next = 0;
    std::string_view name;
    std::optional<std::string_view> inlineValue;
    bool benchFramesGiven = false;
};

bool hasOutput(const CaptureOptions& options) {
    return !options.framesDirectory.empty() || !options.videoFile.empty() ||
           !options.wavFile.empty();
}

bool checkCombination(const CaptureOptions& options, std::string& error) {
    if (options.bench) {
        if (hasOutput(options)) {
            error = "--bench writes no files: leave out --frames, --video and --wav";
            return false;
        }
        if (options.to || options.from.numerator != 0 || !options.presses.empty() ||
            options.frameRate.numerator() != 60 || options.frameRate.denominator() != 1) {
            error = "--bench follows its own schedule at 60 frames per second: it takes only "
                    "--seed and --bench-frames";
            return false;
        }
        return true;
    }
    if (!hasOutput(options)) {
        error = "nothing to write: give --frames DIR, --video FILE.mp4 or --wav FILE (or --bench)";
        return false;
    }
    if (options.to && !lessTime(options.from, *options.to)) {
        error = "--to must come after --from";
        return false;
    }
    return true;
}

} // namespace

bool parseCaptureOptions(const std::vector<std::string_view>& arguments, CaptureOptions& options,
                         std::string& error) {
    OptionReader reader(arguments, options, error);
    if (!reader.readAll()) {
        return false;
    }
    if (options.help || options.version) {
        return true;
    }
    if (!options.bench && reader.givesBenchFrames()) {
        error = "--bench-frames goes with --bench";
        return false;
    }
    return checkCombination(options, error);
}
