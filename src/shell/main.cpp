#include "demo/demo_startup.h"
#include "demo/frame_driver.h"
#include "platform/data_directory.h"
#include "shell/entry_point.h"

int main() {
    platform::enterDataDirectory(demoDataFiles());
    const DemoHooks demo{startDemo, updateFrame, drawFrame};
    return runEntryPoint(platform::currentInstance(), demo);
}
