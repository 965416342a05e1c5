#include "e2e/reliability/data_set_copy.h"
#include "e2e/reliability/demo_run.h"
#include "e2e/reliability/screen_state.h"
#include "e2e/x_session.h"
#include "support/isolated_x_server.h"
#include "support/process.h"

#include <csignal>
#include <gtest/gtest.h>
#include <thread>

namespace {

using namespace std::chrono_literals;

constexpr auto keyHeld = 150ms;

class SignalE2eTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(server.displayName().empty());
        ASSERT_TRUE(session.connected());
    }

    // A signal ends the demo as the close box does: the pump takes the quit, the window is
    // destroyed and the process returns 0, rather than dying from the signal.
    void expectClosedThroughTheWindow() {
        const auto status = demo.waitForExit(10s);
        const std::string errors = demo.standardError();
        ASSERT_FALSE(demo.diedFromSignal()) << "killed by the signal; stderr:\n" << errors;
        ASSERT_TRUE(status.has_value()) << "still running after 10 s; stderr:\n" << errors;
        EXPECT_EQ(*status, 0) << errors;
        EXPECT_TRUE(windowGone(session, 2s)) << "a window was left behind";
    }

    IsolatedXServer server{800, 600};
    XSession session{server.displayName()};
    ChildProcess demo{{LUMIVAHA_BINARY}, demoEnvironment(server.displayName())};
};

TEST_F(SignalE2eTest, SigtermDuringTheStartUpEndsThroughTheWindow) {
    // The window is shown before the start-up loads its data, so this lands in the start-up
    // (or, on a quick machine, in the first frames).
    ASSERT_TRUE(session.waitForWindow(demoTitle, 20s).has_value()) << demo.standardError();
    demo.signal(SIGTERM);
    expectClosedThroughTheWindow();
}

TEST_F(SignalE2eTest, SigintBetweenTwoCyclesAfterF1EndsTheWholeRun) {
    const auto first = session.waitForWindow(demoTitle, 20s);
    ASSERT_TRUE(first.has_value()) << demo.standardError();
    ASSERT_TRUE(session.waitForPicture(20s));
    session.watchDestruction(*first);
    ASSERT_TRUE(pressKey(server.displayName(), *first, "F1", keyHeld));
    ASSERT_TRUE(session.waitForDestruction(*first, 10s));
    // The next window is being made or starting up: the signal must still end the run.
    demo.signal(SIGINT);
    expectClosedThroughTheWindow();
}

TEST_F(SignalE2eTest, RepeatedSignalsWhileRunningEndItOnceWithStatusZero) {
    ASSERT_TRUE(session.waitForWindow(demoTitle, 20s).has_value()) << demo.standardError();
    ASSERT_TRUE(session.waitForPicture(20s));
    demo.signal(SIGTERM);
    demo.signal(SIGINT);
    demo.signal(SIGTERM);
    expectClosedThroughTheWindow();
}

TEST_F(SignalE2eTest, SighupFromAClosingTerminalEndsThroughTheWindow) {
    ASSERT_TRUE(session.waitForWindow(demoTitle, 20s).has_value()) << demo.standardError();
    ASSERT_TRUE(session.waitForPicture(20s));
    demo.signal(SIGHUP);
    expectClosedThroughTheWindow();
}

TEST(FatalStartUpE2eTest, ABrokenPictureLeavesNoWindowAndTheScreenAsItWas) {
    // A wide screen, so the full-screen window covers a desktop larger than its picture.
    IsolatedXServer server(1280, 720);
    ASSERT_FALSE(server.displayName().empty());
    DataSetCopy data(LUMIVAHA_DATA_DIR);
    // The last picture loaded: the window has been up for the whole start-up when it fails.
    ASSERT_TRUE(data.copied() && data.damage("ala3.jpg", Damage::randomBytes, 7));
    XSession session(server.displayName());
    ASSERT_TRUE(session.connected());
    const ScreenState before = readScreenState(server.displayName());
    ASSERT_EQ(before.width, 1280);

    ChildProcess demo(demoCommand(data.directory()), demoEnvironment(server.displayName()));
    const auto window = session.waitForWindow(demoTitle, 20s);
    ASSERT_TRUE(window.has_value()) << demo.standardError();
    EXPECT_EQ(session.geometry(*window).width, 1280) << "not full screen";
    const auto status = demo.waitForExit(10s);
    const std::string errors = demo.standardError();
    ASSERT_TRUE(status.has_value()) << errors;
    EXPECT_EQ(*status, 1) << errors;
    EXPECT_NE(errors.find("File data/ala3.jpg is not a valid picture"), std::string::npos)
        << errors;

    EXPECT_TRUE(windowGone(session, 2s));
    // The server drops what a departed client left a moment after it notices.
    ScreenState after = readScreenState(server.displayName());
    for (int look = 0; look < 100 && after != before; ++look) {
        std::this_thread::sleep_for(20ms);
        after = readScreenState(server.displayName());
    }
    EXPECT_EQ(after, before) << "the screen or its windows changed";
    for (const auto& pixel : session.screenPixels(0, 0, 1280, 720)) {
        ASSERT_EQ(pixel, (std::array<int, 3>{0, 0, 0})) << "something still covers the desktop";
    }
}

} // namespace
