#include "e2e/pulse_server.h"
#include "e2e/reliability/demo_run.h"
#include "e2e/reliability/probe_log.h"
#include "support/isolated_x_server.h"
#include "support/process.h"
#include "support/scratch_directory.h"

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

constexpr int registrationFailedStatus = 255; // -1 as the parent sees it
constexpr int creationFailedStatus = 1;

std::size_t occurrences(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

// With no screen at all the demo must not wait on a message box nobody can see.
std::optional<int> runWithoutDisplay(const std::string& videoDriver, std::string& errors) {
    ChildProcess demo({LUMIVAHA_BINARY}, {{"DISPLAY", ""},
                                          {"WAYLAND_DISPLAY", ""},
                                          {"SDL_VIDEODRIVER", videoDriver},
                                          {"SDL_AUDIODRIVER", "dummy"}});
    const auto status = demo.waitForExit(5s);
    errors = demo.standardError();
    return status;
}

TEST(NoDisplayE2eTest, RegistrationFailsAtOnceWithBothMessagesAndStatusMinusOne) {
    // SDL would fall back to drawing offscreen by itself; the demo must not run unseen.
    std::string errors;
    const auto status = runWithoutDisplay("", errors);
    ASSERT_TRUE(status.has_value()) << "still running after 5 s; stderr:\n" << errors;
    EXPECT_EQ(*status, registrationFailedStatus) << errors;
    const std::size_t registration = errors.find("RegisterClassEx Failed!");
    const std::size_t shell = errors.find("Error Registering Window Class!");
    ASSERT_NE(registration, std::string::npos) << errors;
    ASSERT_NE(shell, std::string::npos) << errors;
    EXPECT_LT(registration, shell) << "the registration reports before the entry point";
    EXPECT_EQ(errors.find("Error Creating OpenGL Window"), std::string::npos) << errors;
}

TEST(NoDisplayE2eTest, AVideoDriverWithoutOpenGlFailsCreationAtOnceWithStatusOne) {
    std::string errors;
    const auto status = runWithoutDisplay("dummy", errors);
    ASSERT_TRUE(status.has_value()) << "still running after 5 s; stderr:\n" << errors;
    EXPECT_EQ(*status, creationFailedStatus) << errors;
    EXPECT_EQ(occurrences(errors, "Error Creating OpenGL Window"), 1u) << errors;
    EXPECT_EQ(errors.find("Error Registering Window Class!"), std::string::npos) << errors;
}

constexpr double loopEnd = 14.674;    // a loop ends once its position passes this
constexpr double runningTime = 103.0; // the first frame past this is the last
// A boundary is taken in the first frame after the position passes the loop's end; frames on a
// busy machine running many tests take up to a few tenths of a second.
constexpr double frameSlack = 0.75;

class ProbeLogFile {
public:
    ProbeLogFile()
        : path((std::filesystem::temp_directory_path() /
                ("lumivaha-probe-" + std::to_string(getpid()) + ".log"))
                   .string()) {}
    ~ProbeLogFile() { std::remove(path.c_str()); }
    const std::string path;
};

TEST(NoAudioDeviceE2eTest, TheWholeDemoRunsSilentlyWithEveryLoopBoundaryOnTime) {
    IsolatedXServer server(800, 600);
    ASSERT_FALSE(server.displayName().empty());
    ProbeLogFile log;
    Environment environment = demoEnvironment(server.displayName());
    // The disk driver opens its output file as the device: in a missing directory it cannot.
    setVariable(environment, "SDL_AUDIODRIVER", "disk");
    setVariable(environment, "SDL_DISKAUDIOFILE", "/nonexistent-directory/lumivaha.raw");
    setVariable(environment, "LD_PRELOAD", LUMIVAHA_BOUNDARY_PROBE);
    setVariable(environment, "LUMIVAHA_PROBE_LOG", log.path);
    ChildProcess demo({LUMIVAHA_BINARY}, environment);

    const auto status = demo.waitForExit(150s);
    const std::string errors = demo.standardError();
    ASSERT_TRUE(status.has_value()) << "no normal end after 150 s; stderr:\n" << errors;
    EXPECT_EQ(*status, 0) << errors;
    EXPECT_EQ(occurrences(errors, "Cannot open an audio device"), 1u) << errors;

    const ProbeLog probe = readProbeLog(log.path);
    ASSERT_GT(probe.flushes.size(), 100u) << "the probe saw no frames";
    const double firstFrame = probe.flushes.front();
    const double lastFrame = probe.flushes.back();
    EXPECT_GT(lastFrame - firstFrame, runningTime - 0.5);
    EXPECT_LT(lastFrame - firstFrame, runningTime + frameSlack);

    // Seven loop ends fit in 103 s when frames are quick; the last may fall just past the end.
    ASSERT_GE(probe.boundaries.size(), 6u);
    ASSERT_LE(probe.boundaries.size(), 7u);
    // The first frame comes a frame after the opening loop started.
    EXPECT_GT(probe.boundaries[0] - firstFrame, loopEnd - 0.5);
    EXPECT_LT(probe.boundaries[0] - firstFrame, loopEnd + frameSlack);
    RecordProperty("frames", static_cast<int>(probe.flushes.size()));
    for (std::size_t i = 1; i < probe.boundaries.size(); ++i) {
        const double loop = probe.boundaries[i] - probe.boundaries[i - 1];
        RecordProperty("loop_" + std::to_string(i + 1) + "_ms", static_cast<int>(loop * 1000.0));
        EXPECT_GT(loop, loopEnd - 0.01) << "loop " << i + 1;
        EXPECT_LT(loop, loopEnd + frameSlack) << "loop " << i + 1;
    }
    EXPECT_LT(lastFrame - probe.boundaries.back(), loopEnd + frameSlack)
        << "a loop end after the last boundary was missed";
}

// The demo playing through a private sound server, which the test then stops or kills.
class SoundServerE2eTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!pulseAudioInstalled()) {
            GTEST_SKIP() << "pulseaudio and parecord are not installed";
        }
        ASSERT_FALSE(server.displayName().empty());
        ASSERT_TRUE(session.connected());
        ASSERT_TRUE(pulse.start());
        Environment environment = demoEnvironment(server.displayName());
        for (const auto& [name, value] : pulse.clientEnvironment()) {
            setVariable(environment, name, value);
        }
        setVariable(environment, "SDL_AUDIODRIVER", "pulseaudio");
        setVariable(environment, "LD_PRELOAD", LUMIVAHA_BOUNDARY_PROBE);
        setVariable(environment, "LUMIVAHA_PROBE_LOG", log.path);
        demo =
            std::make_unique<ChildProcess>(std::vector<std::string>{LUMIVAHA_BINARY}, environment);
        window = session.waitForWindow(demoTitle, 20s);
        ASSERT_TRUE(window.has_value()) << demo->standardError();
    }

    // Seconds on the probe's clock of the first frame, once there is one.
    double firstFrame() {
        for (int wait = 0; wait < 200; ++wait) {
            const ProbeLog probe = readProbeLog(log.path);
            if (!probe.flushes.empty()) {
                return probe.flushes.front();
            }
            std::this_thread::sleep_for(100ms);
        }
        return 0.0;
    }

    static void sleepUntil(double probeSeconds) {
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        const double seconds = std::chrono::duration<double>(now).count();
        if (probeSeconds > seconds) {
            std::this_thread::sleep_for(std::chrono::duration<double>(probeSeconds - seconds));
        }
    }

    bool waitForError(const std::string& line, std::size_t times, std::chrono::seconds limit) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (occurrences(demo->standardError(), line) < times) {
            if (std::chrono::steady_clock::now() > end) {
                return false;
            }
            std::this_thread::sleep_for(50ms);
        }
        return true;
    }

    // Four seconds into the run the server gets the signal; the demo must say why it lost it.
    void signalServerMidRun(int number, const std::string& loss) {
        started = firstFrame();
        ASSERT_GT(started, 0.0) << demo->standardError();
        sleepUntil(started + 4.0);
        pulse.signal(number);
        ASSERT_TRUE(waitForError("Lost the audio device (" + loss + ")", 1, 5s))
            << demo->standardError();
    }

    // Escape must end the run at once, whatever the sound server is doing.
    void expectQuickExitOnEscape() {
        ASSERT_TRUE(session.tapKey(*window, "Escape"));
        const auto status = demo->waitForExit(5s);
        ASSERT_TRUE(status.has_value()) << "still running 5 s after Escape:\n"
                                        << demo->standardError();
        EXPECT_EQ(*status, 0) << demo->standardError();
    }

    ScratchDirectory folder;
    PulseServer pulse{folder};
    IsolatedXServer server{800, 600};
    XSession session{server.displayName()};
    ProbeLogFile log;
    std::unique_ptr<ChildProcess> demo;
    std::optional<XWindowId> window;
    double started = 0.0;
};

TEST_F(SoundServerE2eTest, AServerThatStopsAnsweringNeitherFreezesTheScheduleNorHoldsTheExit) {
    ASSERT_NO_FATAL_FAILURE(signalServerMidRun(SIGSTOP, "it has stopped taking sound"));

    // A null sink asks for the music up to 2 s late, and the position stood still for half a
    // second before the silent clock took over from there.
    sleepUntil(started + loopEnd + 3.0 + frameSlack);
    const ProbeLog probe = readProbeLog(log.path);
    ASSERT_FALSE(probe.boundaries.empty()) << "the schedule stood still";
    EXPECT_GT(probe.boundaries[0] - started, loopEnd);
    EXPECT_LT(probe.boundaries[0] - started, loopEnd + 3.0 + frameSlack);

    // A restart's opening gives up on the server that does not answer.
    session.watchDestruction(*window);
    ASSERT_TRUE(session.tapKey(*window, "F1"));
    ASSERT_TRUE(session.waitForDestruction(*window, 5s)) << "F1 waited on the sound server";
    window = session.waitForWindow(demoTitle, 10s);
    ASSERT_TRUE(window.has_value());
    EXPECT_TRUE(waitForError("Cannot open an audio device (it has not answered for 2 s)", 1, 5s))
        << demo->standardError();
    expectQuickExitOnEscape();
    pulse.signal(SIGCONT);
}

TEST_F(SoundServerE2eTest, AServerKilledAndStartedAgainIsHeardAgain) {
    ASSERT_NO_FATAL_FAILURE(signalServerMidRun(SIGKILL, "it was removed"));
    ASSERT_TRUE(pulse.start());
    ASSERT_TRUE(waitForError("Opened an audio device: the music is heard again.", 1, 10s))
        << demo->standardError();
    EXPECT_GT(pulse.loudestHeard(folder.file("heard.raw"), 3), 1000);
    expectQuickExitOnEscape();
}

} // namespace
