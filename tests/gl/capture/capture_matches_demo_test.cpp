#include "capture_run.h"
#include "capture_test_files.h"
#include "demo/demo_startup.h"
#include "demo/demo_state.h"
#include "demo/frame_driver.h"
#include "platform/sound_system.h"
#include "platform/timer.h"
#include "support/gl_test_context.h"

#include <GL/gl.h>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

constexpr std::uint32_t seed = 424242;
constexpr int framesPerSecond = 10;
constexpr int firstCompared = 25;
constexpr int framesCompared = 6;

std::uint32_t timerReading = seed;
std::uint32_t readTimer() {
    return timerReading;
}

// The demo run here directly, the way its own loop runs it: frame k drawn with the timer at
// seed + 100 k ms and 4410 k sound frames mixed, then compared with what the capture tool wrote.
TEST(CaptureMatchesDemoTest, ACapturedFrameIsTheFrameTheDemoDrawsAtThatTime) {
    ScratchDirectory scratch;
    const capturetest::CaptureResult capture = capturetest::runCapture(
        {"--fps", std::to_string(framesPerSecond), "--seed", std::to_string(seed), "--from", "2.5",
         "--to", "3.1", "--frames", scratch.file("frames")});
    ASSERT_TRUE(capture.status.has_value() && *capture.status == 0) << capture.errors;

    GlTestContext context;
    ASSERT_TRUE(context.ready());
    const std::filesystem::path previousDirectory = std::filesystem::current_path();
    std::filesystem::current_path(LUMIVAHA_DATA_PARENT);
    platform::setTimeSource(readTimer);
    platform::SoundSystem& sound = platform::soundSystem();
    platform::selectSoundOutput(sound, platform::SoundOutput::offline);
    KeyState keys{};
    WindowClassInfo classInfo;
    DemoWindow window{keys, context.window, context.deviceContext, context.glContext, classInfo};
    timerReading = seed;
    startDemo(window, keys);

    int compared = 0;
    for (int frame = 0; frame < firstCompared + framesCompared; ++frame) {
        timerReading = seed + static_cast<std::uint32_t>(frame) * 1000 / framesPerSecond;
        updateFrame();
        drawFrame();
        if (frame >= firstCompared) {
            const std::vector<Rgba> drawn = readPixels(0, 0, 800, 600);
            capturetest::Picture written;
            std::string reason;
            const std::string name =
                scratch.file("frames/frame_00000" + std::to_string(frame - firstCompared) + ".png");
            ASSERT_TRUE(capturetest::readPng(name, written, reason)) << name << ": " << reason;
            std::size_t different = 0;
            for (int y = 0; y < 600; ++y) {
                for (int x = 0; x < 800; ++x) {
                    const Rgba& expected = drawn[static_cast<std::size_t>((599 - y) * 800 + x)];
                    const std::uint8_t* actual = written.pixel(x, y);
                    different += expected[0] != actual[0] || expected[1] != actual[1] ||
                                 expected[2] != actual[2];
                }
            }
            EXPECT_EQ(different, 0u) << "frame " << frame;
            ++compared;
        }
        context.swap();
        platform::advanceOfflineSound(sound, 44100 / framesPerSecond);
    }
    EXPECT_EQ(compared, framesCompared);
    demoState.reset();
    platform::setTimeSource(nullptr);
    std::filesystem::current_path(previousDirectory);
}

} // namespace
