// The demo in a browser tab: the page (index.html) starts it once sound may play, and hears from
// it through the canvas's attributes and the program's exit.
#include "core/demo_clock.h"
#include "demo/demo_startup.h"
#include "demo/demo_state.h"
#include "demo/frame_driver.h"
#include "effects/measured_blur.h"
#include "platform/data_directory.h"
#include "platform/sound_system.h"
#include "platform/timer.h"
#include "platform/web/web_page.h"
#include "resources/data_manifest.h"
#include "shell/entry_point.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// By foreground index, as the demo state numbers them.
constexpr std::array<const char*, foregroundCount> sceneNames = {"voxel growth", "picture strips",
                                                                 "mesh showcase", "title cards"};

std::string jsonText(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
        }
        quoted += c;
    }
    return quoted + "\"";
}

std::string jsonNumber(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

std::string trialJson(const MeasuredBlur::Trial& trial) {
    return "{\"available\":" + std::string(trial.available ? "true" : "false") +
           ",\"finding\":" + jsonText(trial.finding) +
           ",\"framesCompared\":" + std::to_string(trial.framesCompared) +
           ",\"framesIdentical\":" + std::to_string(trial.framesIdentical) +
           ",\"differingBytes\":" + std::to_string(trial.differingBytes) +
           ",\"largestDifference\":" + std::to_string(trial.largestDifference) +
           ",\"milliseconds\":" + jsonNumber(trial.milliseconds) +
           ",\"prepareMilliseconds\":" + jsonNumber(trial.prepareMilliseconds) + "}";
}

std::string checkJson(const MeasuredBlur::Report& report) {
    std::string json = "{\"reason\":" + jsonText(report.reason) +
                       ",\"framesChecked\":" + std::to_string(report.framesChecked) +
                       ",\"windowMilliseconds\":" + jsonNumber(report.windowMilliseconds) +
                       ",\"checkMilliseconds\":" + jsonNumber(report.checkMilliseconds);
    for (const MeasuredBlur::Trial* trial : {&report.exact, &report.fast}) {
        if (!trial->name.empty()) {
            json += "," + jsonText(trial->name) + ":" + trialJson(*trial);
        }
    }
    return json + "}";
}

const char* blurName(const MeasuredBlur::Report& report) {
    switch (report.path) {
    case MeasuredBlur::Path::exact:
        return report.exact.name.c_str();
    case MeasuredBlur::Path::fast:
        return report.fast.name.c_str();
    default:
        return pathName(report.path);
    }
}

// Once while the blur checks and once when it has chosen, in every cycle.
void reportBlur(const FeedbackBlur* blur) {
    static const FeedbackBlur* reportedBlur = nullptr;
    static MeasuredBlur::Path reportedPath = MeasuredBlur::Path::checking;
    const auto* measured = dynamic_cast<const MeasuredBlur*>(blur);
    if (measured == nullptr || (blur == reportedBlur && measured->report().path == reportedPath)) {
        return;
    }
    reportedBlur = blur;
    reportedPath = measured->report().path;
    platform::web::reportBlur(blurName(measured->report()), checkJson(measured->report()));
}

// Where the current loop stands after the frame: at a loop boundary, the new one.
void drawFrameAndReport() {
    drawFrame();
    const DemoState& state = *demoState;
    const std::int32_t musicMilliseconds =
        platform::soundSystem().streamPosition(state.loopStreams[state.currentLoop]);
    platform::web::reportFrame(demoClock.elapsedSeconds(), musicMilliseconds / 1000.0f,
                               state.currentLoop,
                               sceneNames[static_cast<std::size_t>(state.foregroundIndex)]);
    reportBlur(state.feedbackBlur.get());
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
