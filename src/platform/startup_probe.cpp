#include "platform/startup_probe.h"

#include <atomic>

namespace platform {

namespace {

// Read by the sound's worker threads as well as the main thread.
std::atomic<StartupRecorder*> installedRecorder{nullptr};

} // namespace

void installStartupRecorder(StartupRecorder* recorder) {
    installedRecorder.store(recorder, std::memory_order_release);
}

StartupProbe::StartupProbe(StartupStep step)
    : step(step), recorder(installedRecorder.load(std::memory_order_acquire)) {
    if (recorder != nullptr) {
        stamp = recorder->stepStarted(step);
    }
}

StartupProbe::~StartupProbe() {
    if (recorder != nullptr) {
        recorder->stepFinished(step, stamp);
    }
}

} // namespace platform
