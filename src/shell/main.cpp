#include "demo/demo_startup.h"
#include "demo/frame_driver.h"
#include "shell/entry_point.h"

int main() {
    const DemoHooks demo{startDemo, updateFrame, drawFrame};
    return runEntryPoint(platform::currentInstance(), demo);
}
