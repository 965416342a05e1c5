#include "support/isolated_x_server.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::chrono_literals;

// Reads what the server writes once it listens: its display number and a newline.
std::string readDisplayNumber(int descriptor, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::string number;
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd readable{descriptor, POLLIN, 0};
        if (poll(&readable, 1, 100) <= 0) {
            continue;
        }
        char byte = 0;
        const ssize_t count = read(descriptor, &byte, 1);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return {}; // the server went away
        }
        if (byte == '\n') {
            return number;
        }
        number += byte;
    }
    return {};
}

} // namespace

IsolatedXServer::IsolatedXServer(int width, int height) {
    int ends[2] = {-1, -1};
    if (pipe(ends) != 0) {
        return;
    }
    // Only the writing end goes to the server; ours stays out of every other child.
    fcntl(ends[0], F_SETFD, FD_CLOEXEC);
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    server = std::make_unique<ChildProcess>(
        std::vector<std::string>{"/usr/bin/Xvfb", "-displayfd", std::to_string(ends[1]), "-screen",
                                 "0", screen, "-br", "-nolisten", "tcp", "-noreset"});
    close(ends[1]);
    const std::string number = readDisplayNumber(ends[0], 10s);
    close(ends[0]);
    if (!number.empty()) {
        name = ":" + number;
    }
}

IsolatedXServer::~IsolatedXServer() {
    if (server) {
        server->signal(SIGTERM);
        server->waitForExit(5s);
    }
}
