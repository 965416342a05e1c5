#include "e2e/reliability/probe_log.h"

#include <fstream>

ProbeLog readProbeLog(const std::string& path) {
    ProbeLog log;
    std::ifstream file(path);
    std::string event;
    double seconds = 0.0;
    while (file >> event >> seconds) {
        if (event == "flush") {
            log.flushes.push_back(seconds);
        } else if (event == "boundary") {
            log.boundaries.push_back(seconds);
        }
    }
    return log;
}
