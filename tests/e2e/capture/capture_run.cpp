#include "capture_run.h"

#include "support/process.h"

namespace capturetest {

Environment captureEnvironment(const Environment& extra) {
    Environment environment = {{"SDL_VIDEODRIVER", "offscreen"}, {"SDL_AUDIODRIVER", "dummy"}};
    environment.insert(environment.end(), extra.begin(), extra.end());
    return environment;
}

CaptureResult runCapture(const std::vector<std::string>& arguments, const Environment& environment,
                         std::chrono::seconds timeout) {
    std::vector<std::string> command = {LUMIVAHA_CAPTURE};
    command.insert(command.end(), arguments.begin(), arguments.end());
    ChildProcess capture(command, captureEnvironment(environment));
    CaptureResult result;
    result.status = capture.waitForExit(timeout);
    result.errors = capture.standardError();
    return result;
}

CaptureResult runCaptureInto(const std::string& outputFile,
                             const std::vector<std::string>& arguments) {
    std::string line = "exec '" LUMIVAHA_CAPTURE "'";
    for (const std::string& argument : arguments) {
        line += " '" + argument + "'";
    }
    line += " > '" + outputFile + "'";
    ChildProcess shell({"/bin/sh", "-c", line}, captureEnvironment());
    CaptureResult result;
    result.status = shell.waitForExit(std::chrono::seconds(240));
    result.errors = shell.standardError();
    return result;
}

} // namespace capturetest
