#include "e2e/reliability/demo_run.h"
#include "e2e/x_session.h"
#include "support/isolated_x_server.h"
#include "support/process.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <thread>

namespace {

using namespace std::chrono_literals;

constexpr int restarts = 50;
constexpr auto pressInterval = 300ms;
// Long enough that a frame runs while the key is down: keys are read once per frame.
constexpr auto keyHeld = 150ms;

bool isBright(const std::array<int, 3>& pixel) {
    return pixel[0] + pixel[1] + pixel[2] > 300;
}

// Share of the band across the middle where the opening's title text stands that is bright in
// two looks 0.7 s apart. The streaks behind the text turn quickly, so what stays is the card.
double steadyTitleShare(XSession& session) {
    const auto first = session.screenPixels(100, 250, 600, 100);
    std::this_thread::sleep_for(700ms);
    const auto second = session.screenPixels(100, 250, 600, 100);
    std::size_t steady = 0;
    for (std::size_t i = 0; i < first.size(); ++i) {
        steady += isBright(first[i]) && isBright(second[i]) ? 1 : 0;
    }
    return static_cast<double>(steady) / static_cast<double>(first.size());
}

// Read at the same point of a run every time: a second after its first picture.
long settledResidentKilobytes(XSession& session, const ChildProcess& demo) {
    if (!session.waitForPicture(20s)) {
        return 0;
    }
    std::this_thread::sleep_for(1s);
    return residentKilobytes(demo.pid());
}

TEST(RestartSoakE2eTest, FiftyF1RestartsKeepMemoryFlatAndEndWithTheOpening) {
    IsolatedXServer server(800, 600);
    ASSERT_FALSE(server.displayName().empty());
    XSession session(server.displayName());
    ASSERT_TRUE(session.connected());
    ChildProcess demo({LUMIVAHA_BINARY}, demoEnvironment(server.displayName()));
    std::optional<XWindowId> window = session.waitForWindow(demoTitle, 20s);
    ASSERT_TRUE(window.has_value()) << demo.standardError();

    long afterSecond = 0;
    auto lastPress = std::chrono::steady_clock::now() - pressInterval;
    for (int restart = 1; restart <= restarts; ++restart) {
        SCOPED_TRACE("restart " + std::to_string(restart));
        // Each restart is drawing before the next press, so every cycle runs the same way.
        ASSERT_TRUE(session.waitForPicture(20s)) << demo.standardError();
        std::this_thread::sleep_until(lastPress + pressInterval);
        session.watchDestruction(*window);
        lastPress = std::chrono::steady_clock::now();
        ASSERT_TRUE(pressKey(server.displayName(), *window, "F1", keyHeld));
        ASSERT_TRUE(session.waitForDestruction(*window, 10s)) << demo.standardError();
        window = session.waitForWindow(demoTitle, 10s);
        ASSERT_TRUE(window.has_value()) << demo.standardError();
        if (restart == 2) {
            afterSecond = settledResidentKilobytes(session, demo);
            ASSERT_GT(afterSecond, 0);
        }
    }
    const long afterLast = settledResidentKilobytes(session, demo);
    ASSERT_GT(afterLast, 0);
    RecordProperty("resident_kb_after_2nd", std::to_string(afterSecond));
    RecordProperty("resident_kb_after_50th", std::to_string(afterLast));
    EXPECT_LE(std::labs(afterLast - afterSecond), afterSecond / 20)
        << "resident memory after the 2nd restart " << afterSecond << " kB, after the 50th "
        << afterLast << " kB";

    EXPECT_GT(steadyTitleShare(session), 0.05) << "no title card after the last restart";
    ASSERT_TRUE(pressKey(server.displayName(), *window, "Escape", keyHeld));
    const auto status = demo.waitForExit(10s);
    ASSERT_TRUE(status.has_value()) << demo.standardError();
    EXPECT_EQ(*status, 0) << demo.standardError();
    EXPECT_TRUE(windowGone(session, 2s));
}

} // namespace
