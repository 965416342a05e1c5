#include "platform/fake_window_system.h"
#include "shell/demo_window.h"

#include <gtest/gtest.h>

namespace {

using namespace platform;

class WindowProcedureTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake::reset();
        classInfo.instance = currentInstance();
        ASSERT_TRUE(registerWindowClass(classInfo));
        ASSERT_TRUE(createDemoWindow(window));
        handle = window.windowHandle;
    }
    void TearDown() override {
        destroyDemoWindow(window);
        fake::reset();
    }

    MessageResult send(std::uint32_t message, std::uintptr_t wParam = 0, std::intptr_t lParam = 0) {
        return windowProcedure(handle, message, wParam, lParam);
    }
    std::size_t defaultCount() const { return fake::defaultProcessed().size(); }
    bool takeQueued(std::uint32_t wanted) {
        Message message;
        while (peekMessage(message, handle)) {
            if (message.message == wanted) {
                return true;
            }
        }
        return false;
    }

    KeyState keys{};
    WindowClassInfo classInfo;
    DemoWindow window{keys, nullptr, nullptr, nullptr, classInfo};
    WindowHandle handle = nullptr;
};

TEST_F(WindowProcedureTest, CreationStoresTheRecordAndShowsAVisibleWindow) {
    EXPECT_EQ(getWindowUserData(handle), reinterpret_cast<std::intptr_t>(&window));
    EXPECT_TRUE(window.visible);
    EXPECT_NE(window.deviceContext, nullptr);
    EXPECT_NE(window.renderingContext, nullptr);
}

TEST_F(WindowProcedureTest, KeyFlagsFollowKeyMessagesUpTo255) {
    EXPECT_EQ(send(WM_KEYDOWN, VK_SPACE), 0);
    EXPECT_EQ(keys[VK_SPACE], 1);
    EXPECT_EQ(send(WM_KEYDOWN, 255), 0);
    EXPECT_EQ(keys[255], 1);
    releaseTappedKeys(window); // a frame has read them: both are held
    EXPECT_EQ(keys[VK_SPACE], 1);
    EXPECT_EQ(keys[255], 1);
    EXPECT_EQ(send(WM_KEYUP, VK_SPACE), 0);
    EXPECT_EQ(keys[VK_SPACE], 0);
    // Auto-repeat sets the flag again after the frame driver cleared it.
    keys[VK_SPACE] = 0;
    send(WM_KEYDOWN, VK_SPACE);
    send(WM_KEYDOWN, VK_SPACE);
    EXPECT_EQ(keys[VK_SPACE], 1);
    EXPECT_EQ(defaultCount(), 0u);
}

TEST_F(WindowProcedureTest, AKeyReleasedBeforeAnyFrameReadItStaysDownUntilAFrameHas) {
    send(WM_KEYDOWN, VK_ESCAPE);
    send(WM_KEYUP, VK_ESCAPE);
    send(WM_KEYDOWN, 0);
    send(WM_KEYUP, 0);
    EXPECT_EQ(keys[VK_ESCAPE], 1);
    EXPECT_EQ(keys[0], 1);
    // Pressed again before the frame: held, not tapped.
    send(WM_KEYDOWN, VK_F1);
    send(WM_KEYUP, VK_F1);
    send(WM_KEYDOWN, VK_F1);
    releaseTappedKeys(window);
    EXPECT_EQ(keys[VK_ESCAPE], 0);
    EXPECT_EQ(keys[0], 0);
    EXPECT_EQ(keys[VK_F1], 1);
    releaseTappedKeys(window);
    EXPECT_EQ(keys[VK_F1], 1);
    send(WM_KEYUP, VK_F1);
    EXPECT_EQ(keys[VK_F1], 0);
    EXPECT_EQ(defaultCount(), 0u);
}

TEST_F(WindowProcedureTest, CreationForgetsTapsNotYetReadAsWellAsHeldKeys) {
    send(WM_KEYDOWN, VK_F1);
    send(WM_KEYUP, VK_F1);
    send(WM_KEYDOWN, VK_A);
    destroyDemoWindow(window);
    ASSERT_TRUE(createDemoWindow(window));
    EXPECT_EQ(keys, KeyState{});
    EXPECT_TRUE(window.taps.downSinceFrame.none());
    EXPECT_TRUE(window.taps.releasedSinceFrame.none());
}

TEST_F(WindowProcedureTest, KeyCodesAbove255GetDefaultProcessingAndTouchNoFlag) {
    const KeyState before = keys;
    send(WM_KEYDOWN, 256);
    send(WM_KEYUP, 0x10000 + VK_ESCAPE);
    EXPECT_EQ(keys, before);
    ASSERT_EQ(defaultCount(), 2u);
    EXPECT_EQ(fake::defaultProcessed()[0].wParam, 256u);
}

TEST_F(WindowProcedureTest, ScreenSaverAndMonitorPowerAreSwallowedAsWholeValues) {
    EXPECT_EQ(send(WM_SYSCOMMAND, SC_SCREENSAVE), 0);
    EXPECT_EQ(send(WM_SYSCOMMAND, SC_MONITORPOWER), 0);
    EXPECT_EQ(defaultCount(), 0u);
    send(WM_SYSCOMMAND, SC_SCREENSAVE + 1);
    send(WM_SYSCOMMAND, 0xF020); // minimise command
    EXPECT_EQ(defaultCount(), 2u);
}

TEST_F(WindowProcedureTest, MinimiseAndRestoreToggleVisibility) {
    send(WM_SIZE, SIZE_MINIMIZED, 0);
    EXPECT_FALSE(window.visible);
    send(WM_SIZE, SIZE_RESTORED, makeSizeParameter(800, 600));
    EXPECT_TRUE(window.visible);
    send(WM_SIZE, SIZE_MINIMIZED, 0);
    send(WM_SIZE, SIZE_MAXIMIZED, makeSizeParameter(800, 600));
    EXPECT_TRUE(window.visible);
    EXPECT_EQ(defaultCount(), 0u);
    // Other size kinds (a pop-up shown or hidden) change nothing and go to default processing.
    send(WM_SIZE, SIZE_MINIMIZED, 0);
    send(WM_SIZE, 3, 0);
    EXPECT_FALSE(window.visible);
    EXPECT_EQ(defaultCount(), 1u);
}

TEST_F(WindowProcedureTest, ZeroHeightClientIsHandledWithoutDividingByZero) {
    send(WM_SIZE, SIZE_RESTORED, makeSizeParameter(640, 0));
    EXPECT_TRUE(window.visible);
}

TEST_F(WindowProcedureTest, CloseRequestsTheQuitOfTheWholeRun) {
    keepRunning = true;
    EXPECT_EQ(send(WM_CLOSE), 0);
    EXPECT_FALSE(keepRunning);
    EXPECT_TRUE(takeQueued(WM_QUIT));
}

TEST_F(WindowProcedureTest, ModeTogglePostsQuitInvertsTheSettingAndStillGetsDefaultProcessing) {
    keepRunning = true;
    fullScreenSetting = false;
    send(modeToggleMessage);
    EXPECT_TRUE(fullScreenSetting);
    EXPECT_TRUE(keepRunning);
    EXPECT_TRUE(takeQueued(WM_QUIT));
    ASSERT_EQ(defaultCount(), 1u);
    EXPECT_EQ(fake::defaultProcessed()[0].message, modeToggleMessage);
    send(modeToggleMessage);
    EXPECT_FALSE(fullScreenSetting);
}

TEST_F(WindowProcedureTest, RequestsOnlyPostMessagesToTheWindow) {
    keepRunning = true;
    requestModeToggle(window);
    EXPECT_TRUE(keepRunning);
    EXPECT_FALSE(fullScreenSetting); // nothing happens until the message is dispatched
    EXPECT_TRUE(takeQueued(modeToggleMessage));
    requestQuit(window);
    EXPECT_TRUE(takeQueued(WM_QUIT));
}

TEST_F(WindowProcedureTest, MouseAndUnknownMessagesGetDefaultProcessing) {
    send(0x0200, 0, makeSizeParameter(10, 20)); // mouse move
    send(0x0201, 1, 0);                         // left button down
    send(WM_USER + 7);
    EXPECT_EQ(defaultCount(), 3u);
}

} // namespace
