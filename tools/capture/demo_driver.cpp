#include "demo_driver.h"

#include "shell/entry_point.h"

namespace {

// The shell takes plain functions: they forward to the one driver running.
DemoDriver* runningDriver = nullptr;

void startRunningDriver(DemoWindow& window, KeyState& keys) {
    runningDriver->start(window, keys);
}

void updateRunningDriver() {
    runningDriver->update();
}

void drawRunningDriver() {
    runningDriver->draw();
}

} // namespace

int runDemo(DemoDriver& driver) {
    runningDriver = &driver;
    const DemoHooks hooks{startRunningDriver, updateRunningDriver, drawRunningDriver};
    const int status = runEntryPoint(platform::currentInstance(), hooks);
    runningDriver = nullptr;
    return status;
}

void sendKey(DemoWindow& window, std::uintptr_t virtualKey, bool down) {
    windowProcedure(window.windowHandle, down ? platform::WM_KEYDOWN : platform::WM_KEYUP,
                    virtualKey, 0);
}
