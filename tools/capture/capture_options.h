#pragma once

#include "frame_rate.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A key pressed at a time of the capture: it goes down before the first frame at or after that
// time and up again once that frame's update has seen it.
struct KeyPress {
    ExactSeconds time;
    std::uintptr_t virtualKey = 0;
};

// So that the benchmark times every pair before the demo's running time is out.
inline constexpr int mostBenchFrames = 480;

struct CaptureOptions {
    FrameRate frameRate{60, 1};
    // The timer reading the start-up seeds from; none: the current time.
    std::optional<std::uint32_t> seed;
    ExactSeconds from;
    // None: until the demo quits by itself.
    std::optional<ExactSeconds> to;
    std::string framesDirectory;
    std::string videoFile;
    std::string wavFile;
    // In time order; presses at the same time keep the command line's order.
    std::vector<KeyPress> presses;
    bool bench = false;
    int benchFrames = 120;
    bool help = false;
    bool version = false;
};

// Reads the arguments after the program name. False with the reason for the first fault.
bool parseCaptureOptions(const std::vector<std::string_view>& arguments, CaptureOptions& options,
                         std::string& error);

extern const char* const captureUsage;
