#include "demo/demo_startup.h"
#include "demo/frame_driver.h"
#include "platform/data_directory.h"
#include "shell/entry_point.h"

#include <cstdio>
#include <string>

int main() {
    std::string noDataSet;
    if (!platform::selectDataDirectory(demoDataFiles(), noDataSet)) {
        std::fprintf(stderr, "%s\n", noDataSet.c_str());
        return 1;
    }
    const DemoHooks demo{startDemo, updateFrame, drawFrame};
    return runEntryPoint(platform::currentInstance(), demo);
}
