#pragma once

#include <cstdint>

// Message numbers and virtual-key codes keep the classic window-system values, so the window
// procedure and the frame driver read as their tables.
namespace platform {

using WindowHandle = struct Window*;
using MessageResult = std::intptr_t;
using WindowProcedure = MessageResult (*)(WindowHandle window, std::uint32_t message,
                                          std::uintptr_t wParam, std::intptr_t lParam);

struct Message {
    WindowHandle window = nullptr;
    std::uint32_t message = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
};

inline constexpr std::uint32_t WM_CREATE = 0x0001;
inline constexpr std::uint32_t WM_SIZE = 0x0005;
inline constexpr std::uint32_t WM_CLOSE = 0x0010;
inline constexpr std::uint32_t WM_QUIT = 0x0012;
inline constexpr std::uint32_t WM_KEYDOWN = 0x0100;
inline constexpr std::uint32_t WM_KEYUP = 0x0101;
inline constexpr std::uint32_t WM_SYSCOMMAND = 0x0112;
inline constexpr std::uint32_t WM_USER = 0x0400;

// wParam of WM_SIZE.
inline constexpr std::uintptr_t SIZE_RESTORED = 0;
inline constexpr std::uintptr_t SIZE_MINIMIZED = 1;
inline constexpr std::uintptr_t SIZE_MAXIMIZED = 2;

// wParam of WM_SYSCOMMAND.
inline constexpr std::uintptr_t SC_SCREENSAVE = 0xF140;
inline constexpr std::uintptr_t SC_MONITORPOWER = 0xF170;

inline constexpr std::uintptr_t VK_BACK = 8;
inline constexpr std::uintptr_t VK_TAB = 9;
inline constexpr std::uintptr_t VK_RETURN = 13;
inline constexpr std::uintptr_t VK_SHIFT = 16;
inline constexpr std::uintptr_t VK_CONTROL = 17;
inline constexpr std::uintptr_t VK_MENU = 18;
inline constexpr std::uintptr_t VK_PAUSE = 19;
inline constexpr std::uintptr_t VK_CAPITAL = 20;
inline constexpr std::uintptr_t VK_ESCAPE = 27;
inline constexpr std::uintptr_t VK_SPACE = 32;
inline constexpr std::uintptr_t VK_PRIOR = 33;
inline constexpr std::uintptr_t VK_NEXT = 34;
inline constexpr std::uintptr_t VK_END = 35;
inline constexpr std::uintptr_t VK_HOME = 36;
inline constexpr std::uintptr_t VK_LEFT = 37;
inline constexpr std::uintptr_t VK_UP = 38;
inline constexpr std::uintptr_t VK_RIGHT = 39;
inline constexpr std::uintptr_t VK_DOWN = 40;
inline constexpr std::uintptr_t VK_INSERT = 45;
inline constexpr std::uintptr_t VK_DELETE = 46;
inline constexpr std::uintptr_t VK_0 = 48; // '0' to '9' are 48 to 57
inline constexpr std::uintptr_t VK_A = 65; // 'A' to 'Z' are 65 to 90
inline constexpr std::uintptr_t VK_NUMPAD0 = 96;
inline constexpr std::uintptr_t VK_F1 = 112; // F1 to F12 are 112 to 123

inline constexpr std::intptr_t makeSizeParameter(int width, int height) {
    return static_cast<std::intptr_t>((static_cast<std::uint32_t>(height) & 0xFFFF) << 16 |
                                      (static_cast<std::uint32_t>(width) & 0xFFFF));
}
inline constexpr int lowWord(std::intptr_t value) {
    return static_cast<int>(value & 0xFFFF);
}
inline constexpr int highWord(std::intptr_t value) {
    return static_cast<int>((value >> 16) & 0xFFFF);
}

} // namespace platform
