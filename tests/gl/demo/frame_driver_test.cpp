#include "core/base_colour.h"
#include "core/demo_clock.h"
#include "core/random.h"
#include "demo/bar_layout.h"
#include "demo/demo_state.h"
#include "demo/frame_driver.h"
#include "effects/feedback_blur.h"
#include "mp3_test_files.h"
#include "platform/sound_system.h"
#include "platform/timer.h"
#include "resources/texture_bank.h"
#include "support/gl_test_context.h"

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using platform::SoundStream;

std::uint32_t fakeNow = 0;
std::uint32_t readFakeNow() {
    return fakeNow;
}

// Every draw, in the order made: who drew and with which time.
struct DrawRecord {
    std::string who;
    float seconds;
};
std::vector<DrawRecord> drawLog;

// Fills the view with its colour, so the composite can be checked in pixels.
class SolidEffect : public Effect {
public:
    SolidEffect(std::string name, float red, float green, float blue)
        : name(std::move(name)), colour{red, green, blue} {}
    void draw(float seconds) override {
        drawLog.push_back({name, seconds});
        glPushMatrix();
        glLoadIdentity();
        glColor3f(colour[0], colour[1], colour[2]);
        glBegin(GL_QUADS);
        glVertex3f(-2.0f, -2.0f, -1.0f);
        glVertex3f(2.0f, -2.0f, -1.0f);
        glVertex3f(2.0f, 2.0f, -1.0f);
        glVertex3f(-2.0f, 2.0f, -1.0f);
        glEnd();
        glPopMatrix();
        glColor3f(baseColour.red, baseColour.green, baseColour.blue);
    }

private:
    std::string name;
    float colour[3];
};

class FrameDriverTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        scratch = new ScratchDirectory();
        // 15.2 s of music: long enough to pass both the loop end and the rewind position.
        loopFile = soundtest::writeMp3(scratch->file("loop.mp3"),
                                       soundtest::makeSignal(15200 * 441 / 10, 2, 44100));
    }
    static void TearDownTestSuite() { delete scratch; }

    void SetUp() override {
        ASSERT_TRUE(context.ready());
        fakeNow = 1000;
        platform::setTimeSource(readFakeNow);
        drawLog.clear();
        keys.fill(0);
        demoState = std::make_unique<DemoState>(window, keys);
        window.windowHandle = context.window;
        keepRunning = true;
        openLoops();
        makeEffects();
        makeRenderTargets();
        baseColour = {0.5f, 0.5f, 0.5f};
        seedRandom(7);
        demoClock.stop();
        demoClock.start();
        demoClock.restart();
        glViewport(0, 0, 800, 600);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glFrustum(-4.0 / 3.0 * 0.1, 4.0 / 3.0 * 0.1, -0.1, 0.1, 0.1, 2000.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glEnable(GL_DEPTH_TEST);
    }

    void TearDown() override {
        demoState.reset();
        platform::setTimeSource(nullptr);
    }

    void openLoops() {
        platform::SoundSystem& sound = platform::soundSystem();
        platform::selectSoundOutput(sound, platform::SoundOutput::offline);
        ASSERT_TRUE(sound.initialise(44100, 16, 0));
        for (SoundStream*& stream : demoState->loopStreams) {
            stream = sound.openStream(loopFile.c_str());
        }
        sound.playStream(musicChannel, demoState->loopStreams[demoState->currentLoop]);
    }

    static void makeEffects() {
        const char* backdropNames[] = {"spiral", "streaks", "pulse"};
        for (int i = 0; i < backdropCount; ++i) {
            demoState->backgroundEffects[i] =
                std::make_unique<SolidEffect>(backdropNames[i], 0.2f, 0.6f, 1.0f);
        }
        const char* foregroundNames[] = {"voxels", "strips", "meshes", "titles"};
        for (int i = 0; i < foregroundCount; ++i) {
            // Draws nothing visible: a quad behind the backdrop's, rejected by the depth test.
            demoState->foregroundEffects[i] = std::make_unique<RecordingEffect>(foregroundNames[i]);
        }
        demoState->feedbackBlur = std::make_unique<FeedbackBlur>();
    }

    static void makeRenderTargets() {
        glGenTextures(textureSlotCount, textureBank.data());
        glBindTexture(GL_TEXTURE_2D, textureBank[renderTargetSlot]);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 512, 512, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    }

    static std::int32_t position(int loop) {
        return platform::soundSystem().streamPosition(demoState->loopStreams[loop]);
    }
    static void setPosition(int loop, std::uint32_t milliseconds) {
        platform::soundSystem().setStreamPosition(demoState->loopStreams[loop], milliseconds);
    }

    // The requests posted to the window, in order.
    std::vector<std::uint32_t> takeMessages() {
        std::vector<std::uint32_t> messages;
        platform::Message message;
        while (platform::peekMessage(message, context.window)) {
            messages.push_back(message.message);
        }
        return messages;
    }

    class RecordingEffect : public Effect {
    public:
        explicit RecordingEffect(std::string name) : name(std::move(name)) {}
        void draw(float seconds) override { drawLog.push_back({name, seconds}); }

    private:
        std::string name;
    };

    static ScratchDirectory* scratch;
    static std::string loopFile;
    GlTestContext context;
    KeyState keys{};
    WindowClassInfo classInfo;
    DemoWindow window{keys, nullptr, nullptr, nullptr, classInfo};
};

ScratchDirectory* FrameDriverTest::scratch = nullptr;
std::string FrameDriverTest::loopFile;

TEST_F(FrameDriverTest, BackdropThenForegroundDrawWithTheSameDemoTime) {
    fakeNow += 2500;
    drawFrame();
    ASSERT_EQ(drawLog.size(), 2u);
    EXPECT_EQ(drawLog[0].who, "streaks");
    EXPECT_EQ(drawLog[1].who, "titles");
    EXPECT_EQ(drawLog[0].seconds, 2.5f);
    EXPECT_EQ(drawLog[1].seconds, 2.5f);
}

TEST_F(FrameDriverTest, CompositeFillsTheWholeSurfaceWithTheRenderedSquare) {
    drawFrame();
    const Rgba centre = readPixel(400, 300);
    EXPECT_NEAR(centre[0], 51, 2);
    EXPECT_NEAR(centre[1], 153, 2);
    EXPECT_NEAR(centre[2], 255, 2);
    for (const auto& [x, y] : {std::pair{0, 0}, {799, 0}, {0, 599}, {799, 599}}) {
        const Rgba corner = readPixel(x, y);
        EXPECT_NEAR(corner[0], centre[0], 2) << x << "," << y;
        EXPECT_NEAR(corner[2], centre[2], 2) << x << "," << y;
    }
    // The next frame's effects start with the base colour current again.
    GLfloat current[4] = {};
    glGetFloatv(GL_CURRENT_COLOR, current);
    EXPECT_EQ(current[0], baseColour.red);
    EXPECT_EQ(current[3], 1.0f);
}

TEST_F(FrameDriverTest, LoopEndsOnlyPast14674Milliseconds) {
    setPosition(4, 14674);
    ASSERT_EQ(position(4), 14674);
    drawFrame();
    EXPECT_EQ(demoState->currentLoop, 4);
    EXPECT_EQ(demoState->foregroundIndex, 3);
    EXPECT_EQ(demoState->backdropIndex, 1);

    setPosition(4, 14675);
    drawFrame();
    EXPECT_NE(demoState->currentLoop, 4);
    EXPECT_LT(demoState->foregroundIndex, 3);
    EXPECT_GE(demoState->backdropIndex, 0);
    EXPECT_LT(demoState->backdropIndex, 3);
    // The loop that just ended keeps its position: it is not yet past the rewind point.
    EXPECT_EQ(position(4), 14675);
}

TEST_F(FrameDriverTest, BoundaryDrawsScenesColourAndLoopInOrderFromTheSharedGenerator) {
    seedRandom(1234);
    setPosition(4, 14700);
    drawFrame();
    seedRandom(1234);
    const int expectedBackdrop = nextRandom() % 3;
    const int expectedForeground = nextRandom() % 3;
    const BaseColour expectedColour = pickBaseColour();
    const int expectedLoop = nextRandom() % 4;
    EXPECT_EQ(demoState->backdropIndex, expectedBackdrop);
    EXPECT_EQ(demoState->foregroundIndex, expectedForeground);
    EXPECT_EQ(baseColour.red, expectedColour.red);
    EXPECT_EQ(baseColour.blue, expectedColour.blue);
    EXPECT_EQ(demoState->currentLoop, expectedLoop);
    GLfloat current[4] = {};
    glGetFloatv(GL_CURRENT_COLOR, current);
    EXPECT_EQ(current[1], expectedColour.green);
}

TEST_F(FrameDriverTest, LoopsArePastTheirEndRewoundOnlyPast14830Milliseconds) {
    setPosition(0, 14830);
    setPosition(2, 14831);
    setPosition(3, 15000);
    drawFrame();
    EXPECT_EQ(position(0), 14830);
    EXPECT_EQ(position(2), 0);
    EXPECT_EQ(position(3), 0);
}

TEST_F(FrameDriverTest, TheEndedLoopIsRewoundInTheSameFrameWhenAlreadyPastTheRewindPoint) {
    setPosition(4, 14900);
    drawFrame();
    EXPECT_NE(demoState->currentLoop, 4);
    EXPECT_EQ(position(4), 0);
}

TEST_F(FrameDriverTest, ALoopPickedAgainAfterItEndedStartsFromItsBeginning) {
    // Every loop ended earlier and was replaced before the rewind point.
    for (int loop = 0; loop < 4; ++loop) {
        setPosition(loop, 14700);
    }
    setPosition(4, 14690);
    drawFrame();
    ASSERT_NE(demoState->currentLoop, 4);
    EXPECT_EQ(position(demoState->currentLoop), 0);
    const int pickedLoop = demoState->currentLoop;
    const int backdrop = demoState->backdropIndex;
    const int foreground = demoState->foregroundIndex;
    const BaseColour colour = baseColour;
    drawFrame(); // the next frame must not end the loop again
    EXPECT_EQ(demoState->currentLoop, pickedLoop);
    EXPECT_EQ(demoState->backdropIndex, backdrop);
    EXPECT_EQ(demoState->foregroundIndex, foreground);
    EXPECT_EQ(baseColour.red, colour.red);
    // The loops not picked keep their positions.
    for (int loop = 0; loop < 4; ++loop) {
        if (loop != pickedLoop) {
            EXPECT_EQ(position(loop), 14700);
        }
    }
    EXPECT_EQ(position(4), 14690);
}

TEST_F(FrameDriverTest, ManyBoundariesNeverBringBackTheOpeningAndKeepTheColourBright) {
    for (int boundary = 0; boundary < 60; ++boundary) {
        setPosition(demoState->currentLoop, 14800);
        drawFrame();
        ASSERT_LT(demoState->foregroundIndex, 3);
        ASSERT_LT(demoState->currentLoop, 4);
        ASSERT_TRUE(isBrightEnough(baseColour));
    }
}

TEST_F(FrameDriverTest, RunningTimeEndsAfter103SecondsNotAtThem) {
    fakeNow += 102999;
    drawFrame();
    EXPECT_TRUE(takeMessages().empty());
    EXPECT_TRUE(keepRunning);
    fakeNow += 1; // 103000 ms read as 103.0000076 s
    drawFrame();
    EXPECT_EQ(takeMessages(), std::vector<std::uint32_t>{platform::WM_QUIT});
    EXPECT_FALSE(keepRunning);
}

TEST_F(FrameDriverTest, EscapeAndF1InTheSameFrameQuitFirst) {
    keys[platform::VK_ESCAPE] = 1;
    keys[platform::VK_F1] = 1;
    updateFrame();
    EXPECT_EQ(takeMessages(), (std::vector<std::uint32_t>{platform::WM_QUIT, modeToggleMessage}));
    EXPECT_FALSE(keepRunning);
    EXPECT_EQ(keys[platform::VK_ESCAPE], 1);
    EXPECT_EQ(keys[platform::VK_F1], 1);
}

TEST_F(FrameDriverTest, SpaceRegeneratesTheBarLayoutAtMostOncePerFrame) {
    seedRandom(99);
    barLayout.generate();
    const int afterOneGeneration = nextRandom();

    seedRandom(99);
    keys[platform::VK_SPACE] = 1;
    updateFrame();
    EXPECT_EQ(keys[platform::VK_SPACE], 0);
    updateFrame(); // no new key-down since: nothing more is drawn from the generator
    EXPECT_EQ(nextRandom(), afterOneGeneration);
    EXPECT_TRUE(takeMessages().empty());
}

} // namespace
