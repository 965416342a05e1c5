#include "startup_probes.h"

#include "platform/startup_probe.h"

#include <atomic>
#include <ctime>

namespace {

using Clock = StartupProbeReading::Clock;
using platform::StartupStep;

struct ProbeTotal {
    std::atomic<std::int64_t> nanoseconds{0};
    std::atomic<std::uint32_t> calls{0};
};

std::int64_t wallNanoseconds() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
        .count();
}

std::int64_t threadProcessorNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return std::int64_t{now.tv_sec} * 1'000'000'000 + now.tv_nsec;
}

double seconds(const ProbeTotal& total) {
    return static_cast<double>(total.nanoseconds.load()) * 1e-9;
}

class StartupTotals final : public platform::StartupRecorder {
public:
    std::int64_t stepStarted(StartupStep step) override {
        // Processor time: the loops decode side by side on fewer cores than threads.
        return step == StartupStep::loopDecode ? threadProcessorNanoseconds() : wallNanoseconds();
    }

    void stepFinished(StartupStep step, std::int64_t stamp) override {
        if (step == StartupStep::loopDecode) {
            add(musicWorkers, threadProcessorNanoseconds() - stamp);
            lastLoopDecoded = Clock::now().time_since_epoch().count();
            return;
        }
        if (step == StartupStep::loopOpen) {
            ++loopsOpened;
        }
        add(wallTotal(step), wallNanoseconds() - stamp);
    }

    StartupProbeReading reading() const {
        StartupProbeReading reading;
        reading.pictureSeconds = seconds(pictures);
        reading.pictures = pictures.calls;
        reading.mipmapSeconds = seconds(mipmaps);
        reading.mipmaps = mipmaps.calls;
        reading.meshSeconds = seconds(meshes);
        reading.meshes = meshes.calls;
        reading.musicMainThreadSeconds = seconds(musicMainThread);
        reading.loopsOpened = loopsOpened;
        reading.musicWorkerSeconds = seconds(musicWorkers);
        reading.lastLoopDecoded = Clock::time_point(Clock::duration(lastLoopDecoded.load()));
        return reading;
    }

private:
    static void add(ProbeTotal& total, std::int64_t nanoseconds) {
        total.nanoseconds += nanoseconds;
        ++total.calls;
    }

    ProbeTotal& wallTotal(StartupStep step) {
        switch (step) {
        case StartupStep::pictureDecode:
            return pictures;
        case StartupStep::mipmapBuild:
            return mipmaps;
        case StartupStep::meshLoad:
            return meshes;
        case StartupStep::loopOpen:
        case StartupStep::loopWait:
        case StartupStep::loopDecode:
            break;
        }
        return musicMainThread;
    }

    ProbeTotal pictures;
    ProbeTotal mipmaps;
    ProbeTotal meshes;
    ProbeTotal musicMainThread;
    std::atomic<std::uint32_t> loopsOpened{0};
    ProbeTotal musicWorkers;
    std::atomic<Clock::rep> lastLoopDecoded{0};
};

// Lives to the end of the process: a worker thread may still be decoding when the bench ends.
StartupTotals totals;

} // namespace

void installStartupProbes() {
    platform::installStartupRecorder(&totals);
}

StartupProbeReading readStartupProbes() {
    return totals.reading();
}
