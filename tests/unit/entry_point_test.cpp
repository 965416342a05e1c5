#include "platform/fake_window_system.h"
#include "shell/entry_point.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using namespace platform;

// What the scripted demo saw, cycle by cycle.
struct Script {
    int startCount = 0;
    int frameCount = 0;
    std::vector<bool> fullScreenAtStart;
    std::vector<WindowStyle> styleAtStart;
    std::vector<bool> keysClearAtStart;
    std::vector<std::size_t> keysDownAtFirstFrame;
    // When set, each update reads the keys as the frame driver does: Escape quits, F1 restarts,
    // Space is cleared and counted as one regeneration.
    bool readKeysAsTheDemo = false;
    std::vector<KeyState> keysAtUpdate;
    std::vector<int> regenerationsAtUpdate;
    DemoWindow* window = nullptr;
    // Decides what happens in each frame; the default quits at once.
    std::function<void(int frame)> onFrame;
    std::function<void(int cycle)> onStart;
};

Script script;

void scriptedStart(DemoWindow& window, KeyState& keys) {
    script.window = &window;
    script.fullScreenAtStart.push_back(window.fullScreen);
    script.styleAtStart.push_back(fake::lastCreatedStyle());
    const bool clear = keys == KeyState{} && window.taps.downSinceFrame.none() &&
                       window.taps.releasedSinceFrame.none();
    script.keysClearAtStart.push_back(clear);
    if (script.onStart) {
        script.onStart(script.startCount);
    }
    ++script.startCount;
}

void readKeysAsTheDemo(KeyState& keys) {
    if (keys[VK_ESCAPE] == 1) {
        requestQuit(*script.window);
    }
    if (keys[VK_F1] == 1) {
        requestModeToggle(*script.window);
    }
    const bool regenerates = keys[VK_SPACE] == 1;
    keys[VK_SPACE] = 0;
    script.regenerationsAtUpdate.push_back(regenerates ? 1 : 0);
}

void scriptedUpdate() {
    KeyState& keys = script.window->keys;
    if (script.keysDownAtFirstFrame.size() < static_cast<std::size_t>(script.startCount)) {
        std::size_t down = 0;
        for (std::int32_t flag : keys) {
            down += flag == 1 ? 1 : 0;
        }
        script.keysDownAtFirstFrame.push_back(down);
    }
    script.keysAtUpdate.push_back(keys);
    if (script.readKeysAsTheDemo) {
        readKeysAsTheDemo(keys);
    }
}

void scriptedDraw() {
    if (script.onFrame) {
        script.onFrame(script.frameCount);
    } else {
        requestQuit(*script.window);
    }
    ++script.frameCount;
}

const DemoHooks scriptedDemo{scriptedStart, scriptedUpdate, scriptedDraw};

std::size_t countCalls(const std::string& name) {
    std::size_t count = 0;
    for (const std::string& call : fake::calls()) {
        count += call == name ? 1 : 0;
    }
    return count;
}

void post(std::uint32_t message, std::uintptr_t wParam = 0, std::intptr_t lParam = 0) {
    postMessage(script.window->windowHandle, message, wParam, lParam);
}

// A press and its release in one burst, as remote desktops and automation tools send them.
void tap(std::uintptr_t key) {
    post(WM_KEYDOWN, key);
    post(WM_KEYUP, key);
}

std::vector<std::int32_t> flagAtEachUpdate(std::uintptr_t key) {
    std::vector<std::int32_t> flags;
    for (const KeyState& keys : script.keysAtUpdate) {
        flags.push_back(keys[key]);
    }
    return flags;
}

class EntryPointTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake::reset();
        script = Script{};
    }
    void TearDown() override { fake::reset(); }

    static void expectNothingHeld() {
        const fake::Holdings held = fake::holdings();
        EXPECT_EQ(held.classes, 0);
        EXPECT_EQ(held.windows, 0);
        EXPECT_EQ(held.deviceContexts, 0);
        EXPECT_EQ(held.glContexts, 0);
        EXPECT_FALSE(held.displayModeChanged);
    }
};

TEST_F(EntryPointTest, EscapeLikeQuitEndsTheRunWithStatusZeroAndReleasesEverything) {
    EXPECT_EQ(runEntryPoint(currentInstance(), scriptedDemo), 0);
    EXPECT_EQ(script.startCount, 1);
    EXPECT_EQ(script.frameCount, 1);
    EXPECT_EQ(countCalls("swapBuffers"), 1u);
    EXPECT_EQ(countCalls("unregisterClass"), 1u);
    expectNothingHeld();
}

TEST_F(EntryPointTest, FrameThatRequestsTheQuitStillRunsToItsSwap) {
    script.onFrame = [](int frame) {
        if (frame == 2) {
            requestQuit(*script.window);
        }
    };
    EXPECT_EQ(runEntryPoint(currentInstance(), scriptedDemo), 0);
    EXPECT_EQ(script.frameCount, 3);
    EXPECT_EQ(countCalls("swapBuffers"), 3u);
}

TEST_F(EntryPointTest, ABurstOfMessagesIsDispatchedBeforeTheNextFrame) {
    script.onStart = [](int) {
        for (std::uintptr_t key = VK_A; key < VK_A + 6; ++key) {
            post(WM_KEYDOWN, key);
        }
    };
    EXPECT_EQ(runEntryPoint(currentInstance(), scriptedDemo), 0);
    ASSERT_EQ(script.keysDownAtFirstFrame.size(), 1u);
    EXPECT_EQ(script.keysDownAtFirstFrame[0], 6u);
}

TEST_F(EntryPointTest, NoFrameRunsWhileMinimisedAndCloseStillEndsTheRun) {
    script.onStart = [](int) { post(WM_SIZE, SIZE_MINIMIZED, 0); };
    int waits = 0;
    fake::setWaitHook([&waits] {
        ++waits;
        post(WM_CLOSE); // closed from the taskbar while minimised
    });
    EXPECT_EQ(runEntryPoint(currentInstance(), scriptedDemo), 0);
    EXPECT_EQ(script.frameCount, 0);
    EXPECT_EQ(waits, 1);
    expectNothingHeld();
}

TEST_F(EntryPointTest, FramesResumeWhenRestoredFromMinimised) {
    script.onStart = [](int) { post(WM_SIZE, SIZE_MINIMIZED, 0); };
    fake::setWaitHook([] { post(WM_SIZE, SIZE_RESTORED, makeSizeParameter(800, 600)); });
    EXPECT_EQ(runEntryPoint(currentInstance(), scriptedDemo), 0);
    EXPECT_EQ(script.frameCount, 1);
    EXPECT_EQ(countCalls("waitMessage"), 1u);
}

TEST_F(EntryPointTest, ModeToggleStartsANewCycleInANewWindowWithKeysCleared) {
    script.onStart = [](int cycle) {
        if (cycle == 0) {
            post(WM_KEYDOWN, VK_F1); // still held when the cycle ends
        }
    };
    script.onFrame = [](int) {
        if (script.startCount == 1) {
            requestModeToggle(*script.window);
            tap(VK_A); // dispatched after the last frame of the cycle: never read
        } else {
            requestQuit(*script.window);
        }
    };
    EXPECT_EQ(runEntryPoint(currentInstance(), scriptedDemo), 0);
    EXPECT_EQ(script.startCount, 2);
    EXPECT_EQ(countCalls("createWindow"), 2u);
    EXPECT_EQ(countCalls("destroyWindow"), 2u);
    EXPECT_EQ(script.keysClearAtStart, (std::vector<bool>{true, true}));
    // The record's flag follows the inverted setting: false first, true after one toggle.
    EXPECT_EQ(script.fullScreenAtStart, (std::vector<bool>{false, true}));
    EXPECT_EQ(countCalls("registerClass"), 1u);
    expectNothingHeld();
}

TEST_F(EntryPointTest, EscapeTappedBeforeTheFirstFrameEndsTheRunInThatFrame) {
    script.readKeysAsTheDemo = true;
    script.onStart = [](int) { tap(VK_ESCAPE); };
    script.onFrame = [](int frame) {
        if (frame == 4) {
            requestQuit(*script.window); // a lost tap would leave the run going for ever
        }
    };
    EXPECT_EQ(runEntryPoint(currentInstance(), scriptedDemo), 0);
    EXPECT_EQ(script.startCount, 1);
    EXPECT_EQ(script.frameCount, 1);
    expectNothingHeld();
}

TEST_F(EntryPointTest, TapsDuringStartUpsActInTheFirstFrameOfTheirCycle) {
    script.readKeysAsTheDemo = true;
    script.onStart = [](int cycle) { tap(cycle == 0 ? VK_F1 : VK_ESCAPE); };
    script.onFrame = [](int frame) {
        if (frame == 9) {
            requestQuit(*script.window);
        }
    };
    EXPECT_EQ(runEntryPoint(currentInstance(), scriptedDemo), 0);
    EXPECT_EQ(script.startCount, 2);
    EXPECT_EQ(script.frameCount, 2);
    EXPECT_EQ(script.keysClearAtStart, (std::vector<bool>{true, true}));
    EXPECT_EQ(flagAtEachUpdate(VK_F1), (std::vector<std::int32_t>{1, 0}));
    expectNothingHeld();
}

TEST_F(EntryPointTest, EverySpaceTapOrAutoRepeatBurstRegeneratesOnce) {
    script.readKeysAsTheDemo = true;
    script.onStart = [](int) { tap(VK_SPACE); };
    script.onFrame = [](int frame) {
        if (frame == 1) {
            tap(VK_SPACE);
        } else if (frame == 2) {
            post(WM_KEYDOWN, VK_SPACE);
            post(WM_KEYDOWN, VK_SPACE, 1);
            post(WM_KEYUP, VK_SPACE);
        } else if (frame == 4) {
            requestQuit(*script.window);
        }
    };
    EXPECT_EQ(runEntryPoint(currentInstance(), scriptedDemo), 0);
    EXPECT_EQ(script.regenerationsAtUpdate, (std::vector<int>{1, 0, 1, 1, 0}));
}

TEST_F(EntryPointTest, HeldKeysStayDownUntilTheirReleaseAndSpaceRepeatsOncePerKeyDown) {
    script.readKeysAsTheDemo = true;
    script.onStart = [](int) {
        post(WM_KEYDOWN, VK_A);
        post(WM_KEYDOWN, VK_SPACE);
        // Released and pressed again before any frame: held like A.
        post(WM_KEYDOWN, VK_LEFT);
        post(WM_KEYUP, VK_LEFT);
        post(WM_KEYDOWN, VK_LEFT);
    };
    script.onFrame = [](int frame) {
        if (frame == 0) {
            post(WM_KEYDOWN, VK_SPACE, 1); // auto-repeat
        } else if (frame == 2) {
            post(WM_KEYUP, VK_A);
            post(WM_KEYUP, VK_LEFT);
            post(WM_KEYUP, VK_SPACE);
        } else if (frame == 4) {
            requestQuit(*script.window);
        }
    };
    EXPECT_EQ(runEntryPoint(currentInstance(), scriptedDemo), 0);
    EXPECT_EQ(flagAtEachUpdate(VK_A), (std::vector<std::int32_t>{1, 1, 1, 0, 0}));
    EXPECT_EQ(flagAtEachUpdate(VK_LEFT), (std::vector<std::int32_t>{1, 1, 1, 0, 0}));
    EXPECT_EQ(script.regenerationsAtUpdate, (std::vector<int>{1, 1, 0, 0, 0}));
}

TEST_F(EntryPointTest, EveryWindowIsFullScreenAndEveryDestructionGivesTheDesktopBack) {
    script.onFrame = [](int) {
        if (script.startCount < 3) {
            requestModeToggle(*script.window);
        } else {
            requestQuit(*script.window);
        }
    };
    EXPECT_EQ(runEntryPoint(currentInstance(), scriptedDemo), 0);
    EXPECT_EQ(countCalls("changeDisplayMode"), 3u);
    // Including the first window, destroyed while its fullScreen flag is still false.
    EXPECT_EQ(countCalls("restoreDisplayMode"), 3u);
    EXPECT_EQ(fake::lastCreatedStyle(), WindowStyle::popup);
    EXPECT_TRUE(fake::lastCreatedTopmost());
    EXPECT_EQ(countCalls("showCursor"), static_cast<std::size_t>(fake::cursorShowCount()));
    EXPECT_TRUE(fake::messageBoxes().empty());
    expectNothingHeld();
}

TEST_F(EntryPointTest, RefusedModeWarnsAtEveryCreationAndRunsWindowed) {
    fake::failStep(fake::Step::changeDisplayMode);
    script.onFrame = [](int) {
        if (script.startCount < 2) {
            requestModeToggle(*script.window);
        } else {
            requestQuit(*script.window);
        }
    };
    EXPECT_EQ(runEntryPoint(currentInstance(), scriptedDemo), 0);
    ASSERT_EQ(fake::messageBoxes().size(), 2u);
    for (const fake::ShownMessageBox& box : fake::messageBoxes()) {
        EXPECT_EQ(box.text, "Mode Switch Failed.\nRunning In Windowed Mode.");
        EXPECT_EQ(box.caption, "Error");
    }
    EXPECT_EQ(fake::lastCreatedStyle(), WindowStyle::overlapped);
    EXPECT_FALSE(fake::lastCreatedTopmost());
    // The failed switch clears the record's flag even after a toggle asked for full screen.
    EXPECT_EQ(script.fullScreenAtStart, (std::vector<bool>{false, false}));
    expectNothingHeld();
}

TEST_F(EntryPointTest, FramedOnlyNeverTriesTheModeNorWarnsInAnyCycle) {
    script.onFrame = [](int) {
        if (script.startCount < 3) {
            requestModeToggle(*script.window);
        } else {
            requestQuit(*script.window);
        }
    };
    EXPECT_EQ(runEntryPoint(currentInstance(), scriptedDemo, WindowMode::framedOnly), 0);
    EXPECT_EQ(script.startCount, 3);
    EXPECT_EQ(countCalls("changeDisplayMode"), 0u);
    EXPECT_TRUE(fake::messageBoxes().empty());
    EXPECT_EQ(script.styleAtStart, std::vector<WindowStyle>(3, WindowStyle::overlapped));
    EXPECT_FALSE(fake::lastCreatedTopmost());
    // The toggles ask for full screen every other cycle; the record never claims it.
    EXPECT_EQ(script.fullScreenAtStart, std::vector<bool>(3, false));
    expectNothingHeld();
}

TEST_F(EntryPointTest, ClassRegistrationFailureShowsBothMessagesAndReturnsMinusOne) {
    fake::failStep(fake::Step::registerClass);
    EXPECT_EQ(runEntryPoint(currentInstance(), scriptedDemo), -1);
    ASSERT_EQ(fake::messageBoxes().size(), 2u);
    EXPECT_EQ(fake::messageBoxes()[0].text, "RegisterClassEx Failed!");
    EXPECT_EQ(fake::messageBoxes()[1].text, "Error Registering Window Class!");
    EXPECT_EQ(countCalls("createWindow"), 0u);
    EXPECT_EQ(script.startCount, 0);
}

class CreationFailureTest : public EntryPointTest,
                            public ::testing::WithParamInterface<fake::Step> {};

TEST_P(CreationFailureTest, FailedCreationHoldsNothingReportsAndExitsWithOne) {
    fake::failStep(GetParam());
    EXPECT_EQ(runEntryPoint(currentInstance(), scriptedDemo), 1);
    ASSERT_EQ(fake::messageBoxes().size(), 1u);
    EXPECT_EQ(fake::messageBoxes()[0].text, "Error Creating OpenGL Window");
    EXPECT_EQ(fake::messageBoxes()[0].caption, "Error");
    EXPECT_EQ(script.startCount, 0);
    EXPECT_EQ(countCalls("unregisterClass"), 1u);
    expectNothingHeld();
}

INSTANTIATE_TEST_SUITE_P(EveryStep, CreationFailureTest,
                         ::testing::Values(fake::Step::createWindow, fake::Step::getDeviceContext,
                                           fake::Step::choosePixelFormat,
                                           fake::Step::setPixelFormat, fake::Step::createGlContext,
                                           fake::Step::makeCurrent));

TEST_F(EntryPointTest, CreationFailureAfterAModeToggleAlsoExitsWithOne) {
    script.onFrame = [](int) {
        fake::failStep(fake::Step::createGlContext);
        requestModeToggle(*script.window);
    };
    EXPECT_EQ(runEntryPoint(currentInstance(), scriptedDemo), 1);
    EXPECT_EQ(script.startCount, 1);
    ASSERT_EQ(fake::messageBoxes().size(), 1u);
    EXPECT_EQ(fake::messageBoxes()[0].text, "Error Creating OpenGL Window");
    expectNothingHeld();
}

} // namespace
