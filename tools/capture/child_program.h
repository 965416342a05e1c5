#pragma once

#include <csignal>
#include <cstddef>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

// The path of an executable program found on PATH, as a shell would find it; empty when none.
std::string findProgram(std::string_view name);

// A program run as a child process, its standard input fed through a pipe or closed, its
// standard output discarded, its standard error shared with ours.
class ChildProgram {
public:
    ChildProgram() = default;
    ~ChildProgram();
    ChildProgram(const ChildProgram&) = delete;
    ChildProgram& operator=(const ChildProgram&) = delete;

    // arguments[0] is the program's path. False with the reason.
    bool start(const std::vector<std::string>& arguments, bool feedInput, std::string& reason);
    // Writes everything to its input. False with the reason, for instance when it stopped reading.
    bool write(const void* data, std::size_t size, std::string& reason);
    // Closes its input and waits for it: its exit status, or -1 when a signal ended it. When
    // interrupted is set meanwhile, it is ended at once instead, and -1 returned.
    int finish(const volatile std::sig_atomic_t& interrupted);
    // Ends it at once, if it still runs.
    void kill();

private:
    void closeInput();
    int waitForExit(int options);

    pid_t processId = -1;
    int input = -1;
};
