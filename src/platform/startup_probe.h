#pragma once

#include <cstdint>

namespace platform {

// The start-up's costly steps, each probed where it is done.
enum class StartupStep {
    pictureDecode, // one JPEG file read and decoded
    mipmapBuild,   // one mipmap chain built and uploaded
    meshLoad,      // one AML mesh read
    loopOpen,      // one MP3 loop read and its first frame checked, on the opening thread
    loopWait,      // a wait for a loop's decoding to finish
    loopDecode,    // one loop decoded, on its worker thread
};

// Told of every probed step, on the thread that does it: the stamp that stepStarted returns comes
// back to stepFinished, so the recorder chooses what to measure (wall time, the thread's
// processor time). Called from several threads at once.
class StartupRecorder {
public:
    virtual ~StartupRecorder() = default;
    virtual std::int64_t stepStarted(StartupStep step) = 0;
    virtual void stepFinished(StartupStep step, std::int64_t stamp) = 0;
};

// A benchmark installs one for the life of the process; null removes it. Steps already under way
// report to the recorder they began with, which must therefore outlive them.
void installStartupRecorder(StartupRecorder* recorder);

// Reports the scope it lives in to the installed recorder. With none, the demo's usual case, it
// records nothing and costs a load and a test.
class StartupProbe {
public:
    explicit StartupProbe(StartupStep step);
    ~StartupProbe();
    StartupProbe(const StartupProbe&) = delete;
    StartupProbe& operator=(const StartupProbe&) = delete;

private:
    StartupStep step;
    StartupRecorder* recorder;
    std::int64_t stamp = 0;
};

} // namespace platform
