#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

struct ProgressFigures {
    std::uint64_t framesDone = 0;
    std::uint64_t framesExpected = 0;
    double demoSeconds = 0.0;
    double framesPerSecond = 0.0;
};

// "[#####-----]  1234/6181  20.57 s  41.2 fps  2:01 left": the frames, the demo time reached,
// the rendering speed and the time left at that speed.
std::string progressLine(const ProgressFigures& figures, int barWidth);

// The capture's report on stderr: while it is a terminal, a bar redrawn in place a few times a
// second; in every case one summary line at the end.
class ProgressMeter {
public:
    ProgressMeter(std::FILE* stream, bool terminal, std::uint64_t framesExpected);

    void frameDone(std::uint64_t framesDone, double demoSeconds);
    void finish(const std::string& summary);
    double elapsedSeconds() const;

private:
    using Clock = std::chrono::steady_clock;

    std::FILE* stream;
    bool terminal;
    std::uint64_t framesExpected;
    Clock::time_point began = Clock::now();
    Clock::time_point lastDrawn{};
    bool barShown = false;
};
