#include "child_program.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

std::string findProgram(std::string_view name) {
    const char* searchPath = std::getenv("PATH");
    std::string_view directories = searchPath ? searchPath : "";
    while (!directories.empty()) {
        const std::size_t colon = directories.find(':');
        std::string_view directory = directories.substr(0, colon);
        directories = colon == std::string_view::npos ? "" : directories.substr(colon + 1);
        // An empty entry means the working directory.
        std::string candidate = directory.empty() ? "." : std::string(directory);
        candidate.append("/").append(name);
        struct stat status {};
        if (::stat(candidate.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
            ::access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
    }
    return {};
}

ChildProgram::~ChildProgram() {
    kill();
}

bool ChildProgram::start(const std::vector<std::string>& arguments, bool feedInput,
                         std::string& reason) {
    int pipeEnds[2] = {-1, -1};
    if (feedInput && ::pipe2(pipeEnds, O_CLOEXEC) != 0) {
        reason = std::strerror(errno);
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (feedInput) {
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[0], STDIN_FILENO);
    } else {
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    }
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    const int result = posix_spawn(&processId, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (feedInput) {
        ::close(pipeEnds[0]);
        input = pipeEnds[1];
    }
    if (result != 0) {
        processId = -1;
        closeInput();
        reason = std::strerror(result);
        return false;
    }
    return true;
}

bool ChildProgram::write(const void* data, std::size_t size, std::string& reason) {
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t done = ::write(input, bytes, size);
        if (done < 0 && errno == EINTR) {
            continue;
        }
        if (done <= 0) {
            reason = errno == EPIPE ? "it stopped reading its input" : std::strerror(errno);
            return false;
        }
        bytes += done;
        size -= static_cast<std::size_t>(done);
    }
    return true;
}

int ChildProgram::finish(const volatile std::sig_atomic_t& interrupted) {
    closeInput();
    // Looked at in short sleeps rather than one blocking wait: the signal handlers restart an
    // interrupted wait, and a signal just before it would be missed. The signal itself cuts the
    // sleep short.
    constexpr timespec pause{0, 10'000'000};
    while (processId > 0 && !interrupted) {
        const int status = waitForExit(WNOHANG);
        if (processId < 0) { // it has ended
            return status;
        }
        ::nanosleep(&pause, nullptr);
    }
    kill();
    return -1;
}

void ChildProgram::kill() {
    closeInput();
    if (processId > 0) {
        ::kill(processId, SIGKILL);
        waitForExit(0);
    }
}

// Its exit status once it has ended, or -1 when a signal ended it; processId stays while it runs.
int ChildProgram::waitForExit(int options) {
    int status = 0;
    pid_t ended = 0;
    while ((ended = ::waitpid(processId, &status, options)) < 0 && errno == EINTR) {
    }
    if (ended == 0) {
        return -1;
    }
    processId = -1;
    return ended > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void ChildProgram::closeInput() {
    if (input >= 0) {
        ::close(input);
        input = -1;
    }
}
