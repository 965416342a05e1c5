#include "platform/fatal_exit.h"

#include <array>
#include <cstdio>
#include <cstdlib>

namespace platform {
namespace {

constexpr std::size_t maximumTeardowns = 8;
constinit std::array<Teardown, maximumTeardowns> teardowns{};
constinit std::size_t teardownCount = 0;
constinit FatalMessageBox messageBox = nullptr;

} // namespace

void registerTeardown(Teardown teardown) {
    for (std::size_t i = 0; i < teardownCount; ++i) {
        if (teardowns[i] == teardown) {
            return;
        }
    }
    if (teardownCount < maximumTeardowns) {
        teardowns[teardownCount++] = teardown;
    }
}

void unregisterTeardown(Teardown teardown) {
    for (std::size_t i = 0; i < teardownCount; ++i) {
        if (teardowns[i] == teardown) {
            for (std::size_t j = i + 1; j < teardownCount; ++j) {
                teardowns[j - 1] = teardowns[j];
            }
            --teardownCount;
            return;
        }
    }
}

void fatalExit(int status, std::string_view message) {
    while (teardownCount > 0) {
        // Taken off first, so a teardown that fails fatally itself cannot recurse forever.
        const Teardown teardown = teardowns[--teardownCount];
        teardown();
    }
    std::fwrite(message.data(), 1, message.size(), stderr);
    std::fflush(stderr);
    if (messageBox != nullptr) {
        messageBox(message);
    }
    std::exit(status);
}

void setFatalMessageBox(FatalMessageBox show) {
    messageBox = show;
}

} // namespace platform
