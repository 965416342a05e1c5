#include "support/process.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

// A new file in /tmp for one of the child's output streams; its descriptor, its name in path.
int makeCaptureFile(const char* stream, std::string& path) {
    std::string nameTemplate = std::string("/tmp/lumivaha-e2e-") + stream + "-XXXXXX";
    const int descriptor = mkstemp(nameTemplate.data());
    path = nameTemplate;
    return descriptor;
}

std::string contentsOf(const std::string& path) {
    std::ifstream file(path);
    std::stringstream contents;
    contents << file.rdbuf();
    return contents.str();
}

} // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& arguments,
                           const std::vector<std::pair<std::string, std::string>>& environment) {
    const int errorDescriptor = makeCaptureFile("stderr", errorFile);
    const int outputDescriptor = makeCaptureFile("stdout", outputFile);
    const pid_t parentId = getpid();
    processId = fork();
    if (processId == 0) {
        // A test program that dies before its destructors run must not leave the demo or its
        // X server holding the test runner's output open.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parentId) {
            _exit(127);
        }
        for (const auto& [name, value] : environment) {
            if (value.empty()) {
                unsetenv(name.c_str());
            } else {
                setenv(name.c_str(), value.c_str(), 1);
            }
        }
        dup2(errorDescriptor, STDERR_FILENO);
        dup2(outputDescriptor, STDOUT_FILENO);
        std::vector<char*> argv;
        for (const std::string& argument : arguments) {
            argv.push_back(const_cast<char*>(argument.c_str()));
        }
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(errorDescriptor);
    close(outputDescriptor);
}

ChildProcess::~ChildProcess() {
    if (!finished && processId > 0) {
        kill(processId, SIGKILL);
        waitpid(processId, nullptr, 0);
    }
    unlink(errorFile.c_str());
    unlink(outputFile.c_str());
}

void ChildProcess::signal(int signalNumber) const {
    kill(processId, signalNumber);
}

std::optional<int> ChildProcess::waitForExit(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!finished) {
        int status = 0;
        if (waitpid(processId, &status, WNOHANG) == processId) {
            finished = true;
            killedBySignal = WIFSIGNALED(status);
            if (WIFEXITED(status)) {
                return WEXITSTATUS(status);
            }
            return std::nullopt;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return std::nullopt;
}

std::string ChildProcess::standardError() const {
    return contentsOf(errorFile);
}

std::string ChildProcess::standardOutput() const {
    return contentsOf(outputFile);
}
