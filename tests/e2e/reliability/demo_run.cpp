#include "e2e/reliability/demo_run.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

std::vector<std::string> demoCommand(const std::string& workingDirectory) {
    return {"/usr/bin/env", "-C", workingDirectory, LUMIVAHA_BINARY};
}

Environment demoEnvironment(const std::string& display) {
    // The demo draws as fast as it can under Xvfb. Rasterising on its own thread only, it takes
    // one core, and the tests running beside it on a small machine keep the other.
    return {{"DISPLAY", display},
            {"SDL_AUDIODRIVER", "dummy"},
            {"SDL_VIDEODRIVER", ""},
            {"WAYLAND_DISPLAY", ""},
            {"LP_NUM_THREADS", "0"}};
}

void setVariable(Environment& environment, const std::string& name, const std::string& value) {
    for (auto& [existing, existingValue] : environment) {
        if (existing == name) {
            existingValue = value;
            return;
        }
    }
    environment.emplace_back(name, value);
}

bool pressKey(const std::string& display, XWindowId window, const std::string& key,
              std::chrono::milliseconds held) {
    const std::string command = "DISPLAY=" + display + " timeout 10 xdotool windowfocus --sync " +
                                std::to_string(window) + " keydown " + key + " sleep " +
                                std::to_string(static_cast<double>(held.count()) / 1000.0) +
                                " keyup " + key + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

bool windowGone(XSession& session, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (session.hasWindow(demoTitle)) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

long residentKilobytes(int processId) {
    std::ifstream status("/proc/" + std::to_string(processId) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            std::istringstream fields(line.substr(6));
            long kilobytes = 0;
            fields >> kilobytes;
            return kilobytes;
        }
    }
    return 0;
}
