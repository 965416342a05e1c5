#include "core/demo_clock.h"

#include "platform/timer.h"

DemoClock demoClock;

DemoClock::DemoClock() : startTime(platform::currentMilliseconds()), stopped(false) {}

void DemoClock::stop() {
    stopped = true;
}

void DemoClock::start() {
    stopped = false;
}

void DemoClock::restart() {
    startTime = platform::currentMilliseconds();
}

float DemoClock::elapsedSeconds() {
    if (stopped) {
        startTime = platform::currentMilliseconds();
    }
    // Unsigned subtraction: a timer wrap between the two readings still gives the small difference.
    const std::uint32_t elapsedMilliseconds = platform::currentMilliseconds() - startTime;
    // The factor is the float nearest 0.001, slightly above it: 103000 ms read above 103.
    constexpr double millisecondFactor = static_cast<double>(0.001f);
    return static_cast<float>(static_cast<double>(elapsedMilliseconds) * millisecondFactor);
}
