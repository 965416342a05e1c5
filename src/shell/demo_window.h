#pragma once

#include "platform/window_system.h"

#include <array>
#include <bitset>
#include <cstdint>

// The 256 key-down flags, indexed by virtual-key code: 1 down, 0 up.
using KeyState = std::array<std::int32_t, 256>;

// The frame reads keys as flags, so a key pressed and released between two frames would go
// unseen. A key that went down since the last frame keeps its flag until that frame has read it.
struct KeyTaps {
    std::bitset<256> downSinceFrame;
    std::bitset<256> releasedSinceFrame;
};

struct WindowClassInfo {
    platform::InstanceHandle instance = nullptr;
    const char* className = "OpenGL";
};

// Whether each creation tries the demo's display mode, or always opens the framed window
// without trying, as the user can ask for on the command line.
enum class WindowMode { displaySwitch, framedOnly };

struct DemoWindow {
    KeyState& keys;
    platform::WindowHandle windowHandle = nullptr;
    platform::DeviceContextHandle deviceContext = nullptr;
    platform::GlContextHandle renderingContext = nullptr;
    WindowClassInfo& classInfo;
    const char* title = "Tuulenpesija - Lumivaha";
    std::int32_t width = 800;
    std::int32_t height = 600;
    std::int32_t colourBits = 32;
    // Carries the requested mode from one cycle to the next; see fullScreenSetting.
    bool fullScreen = false;
    // Frames are drawn only while the window is shown and not minimised.
    bool visible = false;
    KeyTaps taps{};
    // Holds for every cycle: F1 inverts fullScreenSetting, never this.
    WindowMode mode = WindowMode::displaySwitch;
};

// Another create-run-destroy cycle follows the current one while this holds.
extern bool keepRunning;
// Inverted by every mode toggle; copied into DemoWindow::fullScreen before each creation.
extern bool fullScreenSetting;

// The private message through which F1 ends a cycle without ending the run.
inline constexpr std::uint32_t modeToggleMessage = platform::WM_USER + 1;

bool registerWindowClass(const WindowClassInfo& classInfo);
bool switchDisplayMode(std::int32_t width, std::int32_t height, std::int32_t colourBits);
// Either the window with a current rendering context, shown and visible, or false with nothing
// held.
bool createDemoWindow(DemoWindow& window);
// Releases what creation obtained and gives the desktop back as it was. Always true.
bool destroyDemoWindow(DemoWindow& window);
// Viewport and the start-up projection for a client size.
void reshape(std::int32_t width, std::int32_t height);
// Clears the flags of keys released before the frame that has just read them.
void releaseTappedKeys(DemoWindow& window);
void requestQuit(DemoWindow& window);
void requestModeToggle(DemoWindow& window);
platform::MessageResult windowProcedure(platform::WindowHandle handle, std::uint32_t message,
                                        std::uintptr_t wParam, std::intptr_t lParam);
