#include "bench_report.h"
#include "bench_session.h"
#include "capture_options.h"
#include "capture_outputs.h"
#include "capture_session.h"
#include "demo/demo_startup.h"
#include "demo/demo_state.h"
#include "picture_readback.h"
#include "platform/data_directory.h"
#include "platform/fatal_exit.h"
#include "platform/sound_system.h"
#include "platform/timer.h"
#include "platform/window_system.h"
#include "resources/data_manifest.h"
#include "startup_probes.h"

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

constexpr int exitFailure = 2;
// As the demo's: a data set that is missing or damaged, found so by the search or by a loader.
constexpr int exitDataSet = 1;

volatile std::sig_atomic_t interrupted = 0;

// Only one capture runs; the fatal path, which takes a plain function, reaches it through this.
CaptureOutputs* runningOutputs = nullptr;

void noteInterrupt(int) {
    interrupted = 1;
}

void abandonOutputsOnFatalExit() {
    if (runningOutputs != nullptr) {
        const std::string note = runningOutputs->abandon();
        if (!note.empty()) {
            std::fprintf(stderr, "lumivaha-capture: stopped: %s\n", note.c_str());
        }
    }
}

int fail(const std::string& message) {
    std::fprintf(stderr, "lumivaha-capture: %s\n", message.c_str());
    return exitFailure;
}

int failCapture(CaptureOutputs& outputs, const std::string& message) {
    const std::string note = outputs.abandon();
    return fail(note.empty() ? message : message + "; " + note);
}

void absolutise(std::string& path) {
    if (!path.empty()) {
        path = std::filesystem::absolute(path).lexically_normal().string();
    }
}

std::string counted(std::uint64_t count, const char* noun) {
    std::string text = std::to_string(count);
    text.append(" ").append(noun).append(count == 1 ? "" : "s");
    return text;
}

// Which blur drew the frames after the check: it should make no difference to any of them.
std::string blurNote() {
    if (demoState == nullptr) {
        return "";
    }
    const auto* verified = dynamic_cast<const VerifiedBlur*>(demoState->feedbackBlur.get());
    if (verified == nullptr) {
        return "";
    }
    const VerifiedBlur::Report& report = verified->report();
    std::string note = std::string("; blur: ") + pathName(report.path);
    if (report.path == VerifiedBlur::Path::candidate) {
        note += " (" + report.candidateName + ")";
    }
    return note;
}

const char* endingNote(const CaptureSession& session) {
    if (session.reachedEnd()) {
        return "";
    }
    return session.escapePressed() ? "; Escape ended the demo" : "; the demo ended by itself";
}

std::string captureSummary(const CaptureOptions& options, const CaptureSession& session,
                           const CaptureOutputs& outputs, std::uint32_t seed, double elapsed) {
    const FrameRate& rate = options.frameRate;
    const std::uint64_t first = session.firstWrittenFrame();
    const std::uint64_t end = session.framesRendered();
    const std::uint64_t written = end > first ? end - first : 0;
    char text[512];
    std::snprintf(text, sizeof text,
                  "lumivaha-capture: %s at %u/%u fps, %.3f s to %.3f s, %s, seed %u, %s; %s "
                  "rendered in %.1f s (%.1f per second)%s%s",
                  counted(written, "frame").c_str(), rate.numerator(), rate.denominator(),
                  rate.secondsAt(first), rate.secondsAt(end),
                  counted(outputs.soundFramesWritten(), "sound frame").c_str(), seed,
                  counted(static_cast<std::uint64_t>(session.runs()), "run").c_str(),
                  counted(end, "frame").c_str(), elapsed,
                  elapsed > 0.0 ? static_cast<double>(end) / elapsed : 0.0, endingNote(session),
                  blurNote().c_str());
    return text;
}

// Told only once the run is sure to start: a failure before it says one thing only.
void announceSeed(const CaptureOptions& options, std::uint32_t seed) {
    if (!options.seed) {
        std::fprintf(stderr, "lumivaha-capture: seed %u (--seed %u repeats this run)\n", seed,
                     seed);
    }
}

int runCapture(const CaptureOptions& options, std::uint32_t seed) {
    CaptureOutputs outputs(options);
    std::string message;
    if (!outputs.prepare(message)) {
        // Nothing was rendered: there is nothing to tell about what stays.
        outputs.abandon();
        return fail(message);
    }
    announceSeed(options, seed);
    runningOutputs = &outputs;
    platform::registerTeardown(abandonOutputsOnFatalExit);
    ProgressMeter progress(stderr, isatty(STDERR_FILENO) == 1, expectedFrameCount(options));
    CaptureSession session(options, seed, outputs, progress, interrupted);
    const int status = runDemo(session);
    platform::unregisterTeardown(abandonOutputsOnFatalExit);
    runningOutputs = nullptr;
    if (status != 0) {
        return failCapture(outputs, "no OpenGL window could be made for rendering");
    }
    if (session.wasInterrupted()) {
        return failCapture(outputs, "interrupted");
    }
    if (outputs.failed()) {
        return failCapture(outputs, outputs.failureMessage());
    }
    if (session.framesRendered() <= session.firstWrittenFrame()) {
        return failCapture(outputs, "nothing to write: the demo ended before --from");
    }
    if (!outputs.finish(interrupted, message)) {
        // A Ctrl-C reaches ffmpeg too, whose failure is then the interruption's doing.
        return failCapture(outputs, interrupted ? "interrupted" : message);
    }
    progress.finish(captureSummary(options, session, outputs, seed, progress.elapsedSeconds()));
    return 0;
}

int runBench(const CaptureOptions& options, std::uint32_t seed) {
    announceSeed(options, seed);
    installStartupProbes();
    BenchSession session(seed, options.benchFrames, readStartupProbes, interrupted);
    const int status = runDemo(session);
    if (status != 0) {
        return fail("no OpenGL window could be made for rendering");
    }
    if (!session.complete()) {
        return fail(interrupted ? "interrupted" : "the demo ended before every pair was timed");
    }
    std::fputs(benchReport(session.startups(), session.pairs(), &session.blur()).c_str(), stdout);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    CaptureOptions options;
    std::string error;
    if (!parseCaptureOptions(arguments, options, error)) {
        std::fprintf(stderr,
                     "lumivaha-capture: %s\nTry \"lumivaha-capture --help\" for the options.\n",
                     error.c_str());
        return exitFailure;
    }
    if (options.help) {
        std::fputs(captureUsage, stdout);
        return 0;
    }
    if (options.version) {
        std::puts("lumivaha-capture " LUMIVAHA_VERSION);
        return 0;
    }
    absolutise(options.framesDirectory);
    absolutise(options.videoFile);
    absolutise(options.wavFile);
    std::string noDataSet;
    if (!platform::selectDataDirectory(dataSetFiles(), noDataSet)) {
        fail(noDataSet);
        return exitDataSet;
    }
    std::signal(SIGINT, noteInterrupt);
    std::signal(SIGTERM, noteInterrupt);
    // A dead ffmpeg must show as a failed write, not end the capture unexplained.
    std::signal(SIGPIPE, SIG_IGN);
    const std::uint32_t seed = options.seed.value_or(platform::currentMilliseconds());
    platform::useOffscreenWindows();
    platform::selectSoundOutput(platform::soundSystem(), platform::SoundOutput::offline);
    return options.bench ? runBench(options, seed) : runCapture(options, seed);
}
