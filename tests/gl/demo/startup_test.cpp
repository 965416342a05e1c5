#include "core/base_colour.h"
#include "core/demo_clock.h"
#include "core/random.h"
#include "demo/bar_layout.h"
#include "demo/demo_startup.h"
#include "demo/demo_state.h"
#include "effects/mesh_showcase.h"
#include "effects/spiral_backdrop.h"
#include "effects/streak_backdrop.h"
#include "platform/sound_system.h"
#include "platform/timer.h"
#include "sound_test_support.h"
#include "support/gl_test_context.h"

#include <GL/gl.h>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

constexpr std::uint32_t startupReading = 987654321u;
std::uint32_t readStartupClock() {
    return startupReading;
}

float component() {
    return static_cast<float>((nextRandom() % 100) * 0.01);
}

// Runs the real start-up on the generated data set, with the offline sound output.
class StartupTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(context.ready());
        previousDirectory = std::filesystem::current_path();
        std::filesystem::current_path(LUMIVAHA_DATA_PARENT);
        platform::setTimeSource(readStartupClock);
        platform::selectSoundOutput(platform::soundSystem(), platform::SoundOutput::offline);
        window.windowHandle = context.window;
        startDemo(window, keys);
    }
    void TearDown() override {
        demoState.reset();
        platform::setTimeSource(nullptr);
        std::filesystem::current_path(previousDirectory);
    }

    GlTestContext context;
    std::filesystem::path previousDirectory;
    KeyState keys{};
    WindowClassInfo classInfo;
    DemoWindow window{keys, nullptr, nullptr, nullptr, classInfo};
};

TEST_F(StartupTest, RandomDrawsFollowTheStartUpOrder) {
    seedRandom(startupReading);
    // The first colour is drawn blue, green, red, and only drawn again (red first) when dark.
    BaseColour colour{};
    colour.blue = component();
    colour.green = component();
    colour.red = component();
    if (static_cast<double>(colour.red) + colour.green + colour.blue < 1.5) {
        colour = pickBaseColour();
    }
    const int modelIndex = nextRandom() % 3;
    const int spiralDirection = nextRandom() % 10 <= 5 ? 1 : -1;
    std::array<Streak, 10> streaks{};
    for (Streak& streak : streaks) {
        streak.x = static_cast<float>((nextRandom() % 240) * 0.01 - 1.2);
        streak.y = static_cast<float>(0.9 - (nextRandom() % 180) * 0.01);
        streak.rate = static_cast<float>(nextRandom() % 90 - 180);
    }
    BarLayout layout;
    layout.generate([] { return nextRandom(); });

    EXPECT_EQ(baseColour.red, colour.red);
    EXPECT_EQ(baseColour.green, colour.green);
    EXPECT_EQ(baseColour.blue, colour.blue);
    const auto& meshes = dynamic_cast<const MeshShowcase&>(*demoState->foregroundEffects[2]);
    EXPECT_EQ(meshes.modelIndex, modelIndex);
    const auto& spiral = dynamic_cast<const SpiralBackdrop&>(*demoState->backgroundEffects[0]);
    EXPECT_EQ(spiral.direction, spiralDirection);
    const auto& streakBackdrop =
        dynamic_cast<const StreakBackdrop&>(*demoState->backgroundEffects[1]);
    for (std::size_t i = 0; i < streaks.size(); ++i) {
        EXPECT_EQ(streakBackdrop.streaks[i].x, streaks[i].x) << "streak " << i;
        EXPECT_EQ(streakBackdrop.streaks[i].y, streaks[i].y) << "streak " << i;
        EXPECT_EQ(streakBackdrop.streaks[i].rate, streaks[i].rate) << "streak " << i;
    }
    EXPECT_EQ(barLayout.topEdge, layout.topEdge);
    EXPECT_EQ(barLayout.bottomEdge, layout.bottomEdge);
    EXPECT_EQ(barLayout.bars, layout.bars);
    EXPECT_EQ(barLayout.spikes, layout.spikes);
}

TEST_F(StartupTest, OpeningIsStreaksBehindTitleCardsWithTheFifthLoopAtTimeZero) {
    EXPECT_EQ(demoState->backdropIndex, 1);
    EXPECT_EQ(demoState->foregroundIndex, 3);
    EXPECT_EQ(demoState->currentLoop, 4);
    EXPECT_EQ(demoClock.elapsedSeconds(), 0.0f);
    platform::SoundSystem& sound = platform::soundSystem();
    EXPECT_EQ(sound.streamPosition(demoState->loopStreams[4]), 0);
    platform::advanceOfflineSound(sound, 44100);
    EXPECT_EQ(sound.streamPosition(demoState->loopStreams[4]), 1000);
    EXPECT_EQ(sound.streamPosition(demoState->loopStreams[0]), 0) << "only the opening loop plays";
}

TEST_F(StartupTest, InitialOpenGlStateIsTheOneTheEffectsRelyOn) {
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 800);
    EXPECT_EQ(viewport[3], 600);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    GLint shadeModel = 0;
    glGetIntegerv(GL_SHADE_MODEL, &shadeModel);
    EXPECT_EQ(shadeModel, GL_SMOOTH);
    GLfloat current[4] = {};
    glGetFloatv(GL_CURRENT_COLOR, current);
    EXPECT_EQ(current[0], baseColour.red);
    EXPECT_EQ(current[1], baseColour.green);
    EXPECT_EQ(current[2], baseColour.blue);
    EXPECT_TRUE(isBrightEnough(baseColour));
    GLfloat projection[16] = {};
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    EXPECT_NEAR(projection[5], 1.0, 1e-6);  // 90 degrees
    EXPECT_NEAR(projection[0], 0.75, 1e-6); // 4:3
    EXPECT_NEAR(projection[14], 2.0 * 2000.0 * 0.1 / (0.1 - 2000.0), 1e-5);
}

// A good MP3 that ends before the schedule's end mark would hold its scene, silent, for good.
TEST(ShortLoopStartupTest, ALoopShorterThanTheScheduleEndsTheStartUpNamingBothLengths) {
    // A fresh process: the driver's threads of the tests before would not survive a fork.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ScratchDirectory copy;
    std::filesystem::copy(std::filesystem::path(LUMIVAHA_DATA_PARENT) / "data", copy.file("data"));
    soundtest::writeMp3(copy.file("data/loop3.mp3"), soundtest::makeSignal(3 * 44100, 2, 44100));
    auto startUp = [&copy] {
        GlTestContext context;
        std::filesystem::current_path(copy.path());
        platform::selectSoundOutput(platform::soundSystem(), platform::SoundOutput::offline);
        KeyState keys{};
        WindowClassInfo classInfo;
        DemoWindow window{keys, nullptr, nullptr, nullptr, classInfo};
        window.windowHandle = context.window;
        startDemo(window, keys);
        std::exit(0);
    };
    EXPECT_EXIT(startUp(), testing::ExitedWithCode(1),
                "Cannot play data/loop3.mp3: the loop lasts 3000 ms, and the demo plays more than "
                "14674 ms of it\n$");
}

} // namespace
