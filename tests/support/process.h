#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

// A program started by a test, killed if the test forgets it.
class ChildProcess {
public:
    // environment: variables set (or, with an empty value, unset) on top of the test's own.
    ChildProcess(const std::vector<std::string>& arguments,
                 const std::vector<std::pair<std::string, std::string>>& environment = {});
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return processId; }
    void signal(int signalNumber) const;
    // The exit status, or nothing if the process is still running after the timeout (or died
    // from a signal, reported through diedFromSignal).
    std::optional<int> waitForExit(std::chrono::milliseconds timeout);
    bool diedFromSignal() const { return killedBySignal; }
    std::string standardError() const;
    std::string standardOutput() const;

private:
    pid_t processId = -1;
    bool finished = false;
    bool killedBySignal = false;
    std::string errorFile;
    std::string outputFile;
};
