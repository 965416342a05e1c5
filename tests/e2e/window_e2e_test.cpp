#include "e2e/x_session.h"
#include "support/isolated_x_server.h"
#include "support/process.h"
#include "support/scratch_directory.h"

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

const std::string title = "Tuulenpesija - Lumivaha";

ChildProcess startDemo(const std::string& display, const std::vector<std::string>& options = {}) {
    std::vector<std::string> command = {LUMIVAHA_BINARY};
    command.insert(command.end(), options.begin(), options.end());
    return ChildProcess(command, {{"DISPLAY", display}, {"SDL_AUDIODRIVER", "dummy"}});
}

class DemoWindowE2eTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(session.connected()) << "no X display to test on"; }

    // The window once the demo draws into it.
    XWindowId waitForDemoWindow() {
        auto window = session.waitForWindow(title, 20s);
        EXPECT_TRUE(window.has_value()) << demo.standardError();
        EXPECT_TRUE(session.waitForPicture(30s)) << demo.standardError();
        return window.value_or(0);
    }

    void expectCleanExit() {
        const auto status = demo.waitForExit(10s);
        ASSERT_TRUE(status.has_value()) << "no normal exit; stderr: " << demo.standardError();
        EXPECT_EQ(*status, 0) << demo.standardError();
        // The server drops a departed client's windows when it notices the closed connection.
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        while (session.hasWindow(title) && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(20ms);
        }
        EXPECT_FALSE(session.hasWindow(title)) << "a window was left behind";
    }

    // A screen of its own, so tests running side by side never see each other's windows.
    IsolatedXServer server{800, 600};
    XSession session{server.displayName()};
    ChildProcess demo = startDemo(server.displayName());
};

TEST_F(DemoWindowE2eTest, WindowCoversTheScreenAndSigtermEndsWithStatusZero) {
    const XWindowId window = waitForDemoWindow();
    ASSERT_NE(window, 0u);
    const WindowGeometry geometry = session.geometry(window);
    EXPECT_EQ(geometry.x, 0);
    EXPECT_EQ(geometry.y, 0);
    EXPECT_EQ(geometry.width, 800);
    EXPECT_EQ(geometry.height, 600);
    demo.signal(SIGTERM);
    expectCleanExit();
}

TEST_F(DemoWindowE2eTest, SigintEndsWithStatusZero) {
    ASSERT_NE(waitForDemoWindow(), 0u);
    demo.signal(SIGINT);
    expectCleanExit();
}

TEST_F(DemoWindowE2eTest, ClosingTheWindowEndsWithStatusZero) {
    const XWindowId window = waitForDemoWindow();
    ASSERT_NE(window, 0u);
    session.requestClose(window);
    expectCleanExit();
}

TEST_F(DemoWindowE2eTest, EscapeEndsWithStatusZero) {
    const XWindowId window = waitForDemoWindow();
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(session.tapKey(window, "Escape"));
    expectCleanExit();
}

TEST_F(DemoWindowE2eTest, F1OpensANewWindowAndTheRunGoesOn) {
    const XWindowId first = waitForDemoWindow();
    ASSERT_NE(first, 0u);
    session.watchDestruction(first);
    ASSERT_TRUE(session.tapKey(first, "F1"));
    ASSERT_TRUE(session.waitForDestruction(first, 10s)) << demo.standardError();
    // X may hand the new window the old one's id, so the destruction is what tells them apart.
    const auto second = session.waitForWindow(title, 10s);
    ASSERT_TRUE(second.has_value()) << demo.standardError();
    ASSERT_TRUE(session.waitForPicture(30s)) << demo.standardError();
    EXPECT_FALSE(demo.waitForExit(300ms).has_value()) << "the run must go on after F1";
    ASSERT_TRUE(session.tapKey(*second, "Escape"));
    expectCleanExit();
}

TEST_F(DemoWindowE2eTest, TwentyF1TapsThenAnEscapeTapEndWithStatusZero) {
    XWindowId window = waitForDemoWindow();
    ASSERT_NE(window, 0u);
    // Each tap goes to the new window as soon as it is mapped, so most land while the new
    // cycle still starts up and must act in its first frame.
    for (int tap = 1; tap <= 20; ++tap) {
        SCOPED_TRACE("F1 tap " + std::to_string(tap));
        session.watchDestruction(window);
        ASSERT_TRUE(session.tapKey(window, "F1"));
        ASSERT_TRUE(session.waitForDestruction(window, 20s)) << demo.standardError();
        const auto next = session.waitForWindow(title, 20s);
        ASSERT_TRUE(next.has_value()) << demo.standardError();
        window = *next;
    }
    ASSERT_TRUE(session.tapKey(window, "Escape"));
    expectCleanExit();
}

TEST(DemoLetterboxE2eTest, WideScreenShowsThePictureScaledAndCentredBetweenBlackBars) {
    IsolatedXServer server(1280, 720);
    XSession session(server.displayName());
    ASSERT_TRUE(session.connected());
    ChildProcess demo = startDemo(server.displayName());
    const auto window = session.waitForWindow(title, 10s);
    ASSERT_TRUE(window.has_value()) << demo.standardError();
    EXPECT_EQ(session.geometry(*window).width, 1280);
    ASSERT_TRUE(session.waitForPicture(30s)) << demo.standardError();
    std::this_thread::sleep_for(1s); // the opening's streaks reach every row by then

    // 800x600 scaled to 960x720 fills columns 160 to 1119. The picture moves, so what it
    // covers is gathered over a few looks; the bars stay black in every one.
    int left = 1280;
    int right = -1;
    int top = 720;
    int bottom = -1;
    int brightInBars = 0;
    for (int look = 0; look < 10; ++look) {
        const auto pixels = session.screenPixels(0, 0, 1280, 720);
        for (int y = 0; y < 720; ++y) {
            for (int x = 0; x < 1280; ++x) {
                const auto& pixel = pixels[static_cast<std::size_t>(y * 1280 + x)];
                if (pixel[0] + pixel[1] + pixel[2] == 0) {
                    continue;
                }
                if (x < 160 || x > 1119) {
                    ++brightInBars;
                }
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
        std::this_thread::sleep_for(200ms);
    }
    EXPECT_EQ(brightInBars, 0);
    EXPECT_LE(left, 168);
    EXPECT_GE(right, 1111);
    EXPECT_LE(top, 8);
    EXPECT_GE(bottom, 711);
    demo.signal(SIGTERM);
    EXPECT_EQ(demo.waitForExit(10s), std::optional<int>(0));
}

TEST(DemoWindowedE2eTest, WindowedGivesAnEightHundredBySixHundredWindowAfterF1Too) {
    // Larger than the window, so a screen-covering one would show.
    IsolatedXServer server(1024, 768);
    XSession session(server.displayName());
    ASSERT_TRUE(session.connected());
    ChildProcess demo = startDemo(server.displayName(), {"--windowed"});
    const auto first = session.waitForWindow(title, 20s);
    ASSERT_TRUE(first.has_value()) << demo.standardError();
    EXPECT_EQ(session.geometry(*first).width, 800);
    EXPECT_EQ(session.geometry(*first).height, 600);

    session.watchDestruction(*first);
    ASSERT_TRUE(session.tapKey(*first, "F1"));
    ASSERT_TRUE(session.waitForDestruction(*first, 10s)) << demo.standardError();
    const auto second = session.waitForWindow(title, 20s);
    ASSERT_TRUE(second.has_value()) << demo.standardError();
    EXPECT_EQ(session.geometry(*second).width, 800);
    EXPECT_EQ(session.geometry(*second).height, 600);
    ASSERT_TRUE(session.tapKey(*second, "Escape"));
    EXPECT_EQ(demo.waitForExit(10s), std::optional<int>(0)) << demo.standardError();
    EXPECT_EQ(demo.standardError().find("Mode Switch Failed"), std::string::npos);
}

// A copy of the demo alone in an empty temporary folder: no data set anywhere it looks.
class LoneDemoE2eTest : public ::testing::Test {
protected:
    void SetUp() override { fs::copy_file(LUMIVAHA_BINARY, scratch.file("lumivaha")); }

    // Runs the copy from its folder to its exit, with the display of the private server.
    std::optional<int> run(const std::vector<std::string>& arguments) {
        std::vector<std::string> command = {"/bin/sh", "-c", "cd \"$0\" && exec ./lumivaha \"$@\"",
                                            scratch.path()};
        command.insert(command.end(), arguments.begin(), arguments.end());
        ChildProcess demo(command, {{"DISPLAY", server.displayName()},
                                    {"SDL_AUDIODRIVER", "dummy"},
                                    {"LUMIVAHA_DATA", ""}});
        const std::optional<int> status = demo.waitForExit(10s);
        output = demo.standardOutput();
        errors = demo.standardError();
        return status;
    }

    ScratchDirectory scratch;
    IsolatedXServer server{800, 600};
    XSession session{server.displayName()};
    std::string output;
    std::string errors;
};

TEST_F(LoneDemoE2eTest, HelpAndVersionPrintOnStdoutAndExitZeroWithoutADataSet) {
    // Without an argument the copy finds no data set: the folder is as bare as it should be.
    EXPECT_EQ(run({}), std::optional<int>(1));
    EXPECT_NE(errors.find("No data set found"), std::string::npos) << errors;

    EXPECT_EQ(run({"--help"}), std::optional<int>(0)) << errors;
    EXPECT_EQ(output.rfind("usage: lumivaha [--windowed]\n", 0), 0u) << output;
    EXPECT_NE(output.find("--version"), std::string::npos) << output;
    EXPECT_EQ(errors, "");

    EXPECT_EQ(run({"--version"}), std::optional<int>(0)) << errors;
    EXPECT_EQ(output, "lumivaha " LUMIVAHA_VERSION "\n");
    EXPECT_EQ(errors, "");
}

TEST_F(LoneDemoE2eTest, AnyOtherArgumentExitsWithTwoAndTheUsageOnStderrOpeningNoWindow) {
    ASSERT_TRUE(session.connected());
    const std::vector<std::vector<std::string>> refused = {
        {"--fullscreen"}, {"--windowed", "now"}, {"-h"}, {""}, {"--Help"}};
    for (const auto& arguments : refused) {
        SCOPED_TRACE(arguments.back());
        // 2, not the 1 of the missing data set: the arguments are checked before anything else.
        EXPECT_EQ(run(arguments), std::optional<int>(2));
        EXPECT_NE(errors.find("'" + arguments.back() + "'"), std::string::npos) << errors;
        EXPECT_NE(errors.find("usage: lumivaha [--windowed]\n"), std::string::npos) << errors;
        EXPECT_EQ(output, "");
        EXPECT_FALSE(session.hasWindow(title));
    }
}

} // namespace
