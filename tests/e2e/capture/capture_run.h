#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace capturetest {

struct CaptureResult {
    // None when it did not exit in time or died from a signal.
    std::optional<int> status;
    std::string errors;
};

using Environment = std::vector<std::pair<std::string, std::string>>;

// Runs lumivaha-capture with the arguments on SDL's offscreen driver and waits for it.
CaptureResult runCapture(const std::vector<std::string>& arguments,
                         const Environment& environment = {},
                         std::chrono::seconds timeout = std::chrono::seconds(240));

// The same through /bin/sh, its standard output kept in the file.
CaptureResult runCaptureInto(const std::string& outputFile,
                             const std::vector<std::string>& arguments);

// The environment every run gets: the offscreen video driver, no audio device needed.
Environment captureEnvironment(const Environment& extra = {});

} // namespace capturetest
