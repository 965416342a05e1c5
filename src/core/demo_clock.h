#pragma once

#include <cstdint>

// Demo time: seconds since the music started, as a 32-bit float, read from the platform timer.
class DemoClock {
public:
    DemoClock();

    void stop();
    void start();
    // Demo time counts from now; the stopped state is kept.
    void restart();
    // A stopped clock reads (about) zero and moves its origin to the reading.
    float elapsedSeconds();

private:
    std::uint32_t startTime;
    bool stopped;
};

extern DemoClock demoClock;
