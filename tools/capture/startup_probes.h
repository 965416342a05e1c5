#pragma once

#include <chrono>
#include <cstdint>

// Time spent in the start-up's costly steps, summed over every call since the probes were
// installed.
struct StartupProbeReading {
    using Clock = std::chrono::steady_clock;

    // JPEG pictures decoded.
    double pictureSeconds = 0.0;
    std::uint32_t pictures = 0;
    // Mipmap chains built and uploaded.
    double mipmapSeconds = 0.0;
    std::uint32_t mipmaps = 0;
    // AML meshes read.
    double meshSeconds = 0.0;
    std::uint32_t meshes = 0;
    // MP3 loops opened, and the main thread's waits for their decoding.
    double musicMainThreadSeconds = 0.0;
    std::uint32_t loopsOpened = 0;
    // The decoding itself: processor time on the worker threads, summed.
    double musicWorkerSeconds = 0.0;
    Clock::time_point lastLoopDecoded{};
};

using StartupProbeReader = StartupProbeReading (*)();

// Installs the program's recorder behind the demo's start-up probes, for the rest of the process.
void installStartupProbes();
StartupProbeReading readStartupProbes();
