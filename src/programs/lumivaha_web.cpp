// The demo in a browser tab: the page (index.html) starts it once sound may play, and hears from
// it through the canvas's attributes and the program's exit.
#include "core/demo_clock.h"
#include "demo/demo_startup.h"
#include "demo/demo_state.h"
#include "demo/frame_driver.h"
#include "platform/data_directory.h"
#include "platform/sound_system.h"
#include "platform/timer.h"
#include "platform/web/web_page.h"
#include "resources/data_manifest.h"
#include "shell/entry_point.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// Where the current loop stands after the frame: at a loop boundary, the new one.
void drawFrameAndReport() {
    drawFrame();
    const DemoState& state = *demoState;
    const std::int32_t musicMilliseconds =
        platform::soundSystem().streamPosition(state.loopStreams[state.currentLoop]);
    platform::web::reportFrame(demoClock.elapsedSeconds(), musicMilliseconds / 1000.0f,
                               state.currentLoop);
}

int runDemo() {
    platform::setTimeSource(platform::web::shownMilliseconds);
    const std::vector<std::string> dataFiles = dataSetFiles();
    std::string failure;
    if (!platform::web::fetchDataFiles(dataFiles, failure)) {
        std::fprintf(stderr, "%s\n", failure.c_str());
        return 1;
    }
    std::string noDataSet;
    if (!platform::selectDataDirectory(dataFiles, noDataSet)) {
        std::fprintf(stderr, "%s\n", noDataSet.c_str());
        return 1;
    }
    const DemoHooks demo{startDemo, updateFrame, drawFrameAndReport};
    return runEntryPoint(platform::currentInstance(), demo);
}

} // namespace

// Once the program has waited for the browser, returning from main ends nothing: only exit ends
// the runtime and lets the page know.
int main() {
    std::exit(runDemo());
}
