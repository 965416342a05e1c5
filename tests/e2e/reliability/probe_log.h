#pragma once

#include <string>
#include <vector>

// What the boundary probe noted in a run of the demo: monotonic-clock seconds, comparable with
// std::chrono::steady_clock in the test.
struct ProbeLog {
    std::vector<double> flushes;
    std::vector<double> boundaries;
};

ProbeLog readProbeLog(const std::string& path);
