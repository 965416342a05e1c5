#include "e2e/x_session.h"
#include "support/isolated_x_server.h"
#include "support/process.h"

#include <csignal>
#include <gtest/gtest.h>
#include <thread>

namespace {

using namespace std::chrono_literals;

const std::string title = "Tuulenpesija - Lumivaha";

// The band across the middle of the screen where the opening's title text stands.
constexpr int bandX = 100;
constexpr int bandY = 250;
constexpr int bandWidth = 600;
constexpr int bandHeight = 100;

bool isBright(const std::array<int, 3>& pixel) {
    return pixel[0] + pixel[1] + pixel[2] > 300;
}

// Share of the band that is bright in two looks 0.7 s apart. The streaks behind the text turn at
// 90 to 180 degrees a second, so what stays bright is the title card.
double steadyBrightShare(XSession& session) {
    const auto first = session.screenPixels(bandX, bandY, bandWidth, bandHeight);
    std::this_thread::sleep_for(700ms);
    const auto second = session.screenPixels(bandX, bandY, bandWidth, bandHeight);
    std::size_t steady = 0;
    for (std::size_t i = 0; i < first.size(); ++i) {
        steady += isBright(first[i]) && isBright(second[i]) ? 1 : 0;
    }
    return static_cast<double>(steady) / static_cast<double>(first.size());
}

class RunningDemoE2eTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(session.connected()); }

    IsolatedXServer server{800, 600};
    XSession session{server.displayName()};
    ChildProcess demo{{LUMIVAHA_BINARY},
                      {{"DISPLAY", server.displayName()}, {"SDL_AUDIODRIVER", "dummy"}}};
};

TEST_F(RunningDemoE2eTest, OpensWithTheTitleCardsAndF1BringsThemBack) {
    const auto first = session.waitForWindow(title, 20s);
    ASSERT_TRUE(first.has_value()) << demo.standardError();
    ASSERT_TRUE(session.waitForPicture(30s));
    std::this_thread::sleep_for(2s);
    EXPECT_GT(steadyBrightShare(session), 0.05) << "no title text in the opening";

    session.watchDestruction(*first);
    ASSERT_TRUE(session.tapKey(*first, "F1"));
    ASSERT_TRUE(session.waitForDestruction(*first, 10s));
    const auto second = session.waitForWindow(title, 20s);
    ASSERT_TRUE(second.has_value()) << demo.standardError();
    ASSERT_TRUE(session.waitForPicture(30s));
    std::this_thread::sleep_for(2s);
    EXPECT_GT(steadyBrightShare(session), 0.05) << "no title text after the restart";

    ASSERT_TRUE(session.tapKey(*second, "Escape"));
    EXPECT_EQ(demo.waitForExit(10s), std::optional<int>(0)) << demo.standardError();
}

TEST_F(RunningDemoE2eTest, LeftAloneItEndsByItselfAfter103Seconds) {
    ASSERT_TRUE(session.waitForWindow(title, 20s).has_value()) << demo.standardError();
    ASSERT_TRUE(session.waitForPicture(30s));
    const auto shown = std::chrono::steady_clock::now();
    const auto status = demo.waitForExit(130s);
    const auto ran = std::chrono::steady_clock::now() - shown;
    ASSERT_TRUE(status.has_value()) << "still running after 130 s: " << demo.standardError();
    EXPECT_EQ(*status, 0) << demo.standardError();
    EXPECT_GE(ran, 101s);
    EXPECT_LT(ran, 110s);
}

} // namespace
