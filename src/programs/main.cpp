#include "demo/demo_startup.h"
#include "demo/frame_driver.h"
#include "platform/data_directory.h"
#include "platform/fatal_exit.h"
#include "platform/process_paths.h"
#include "resources/data_manifest.h"
#include "shell/entry_point.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace {

constexpr const char* usage =
    "usage: lumivaha [--windowed]\n"
    "Shows the demo full screen with its music for 103 seconds. Escape quits, F1 starts it\n"
    "again in a new window.\n"
    "  --windowed  an 800x600 window instead of the full screen, after F1 as well\n"
    "  --help      print this and exit\n"
    "  --version   print the version and exit\n";

constexpr int exitUsage = 2;

enum class Action { run, help, version, refuse };

struct Request {
    Action action = Action::run;
    WindowMode mode = WindowMode::displaySwitch;
    std::string_view refused;
};

// --help and --version act as soon as they are read, as GNU tools do.
Request parseArguments(int argc, char** argv) {
    Request request;
    for (int index = 1; index < argc; ++index) {
        const std::string_view argument = argv[index];
        if (argument == "--windowed") {
            request.mode = WindowMode::framedOnly;
        } else if (argument == "--help" || argument == "--version") {
            request.action = argument == "--help" ? Action::help : Action::version;
            return request;
        } else {
            request.action = Action::refuse;
            request.refused = argument;
            return request;
        }
    }
    return request;
}

int refuse(std::string_view argument) {
    const char* what = argument.starts_with("-") ? "unknown option" : "unexpected argument";
    std::fprintf(stderr, "lumivaha: %s '%.*s'\n%s", what, static_cast<int>(argument.size()),
                 argument.data(), usage);
    return exitUsage;
}

int runDemo(WindowMode mode) {
    std::string noDataSet;
    if (!platform::selectDataDirectory(dataSetFiles(), noDataSet)) {
        platform::fatalExit(1, noDataSet + "\n");
    }
    const DemoHooks demo{startDemo, updateFrame, drawFrame};
    return runEntryPoint(platform::currentInstance(), demo, mode);
}

} // namespace

int main(int argc, char** argv) {
    platform::connectProgramOutput();
    const Request request = parseArguments(argc, argv);
    switch (request.action) {
    case Action::help:
        std::fputs(usage, stdout);
        return 0;
    case Action::version:
        std::puts("lumivaha " LUMIVAHA_VERSION);
        return 0;
    case Action::refuse:
        return refuse(request.refused);
    case Action::run:
        break;
    }
    return runDemo(request.mode);
}
