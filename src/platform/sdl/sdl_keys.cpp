#include "platform/sdl/sdl_keys.h"

#include "platform/messages.h"

namespace platform {
namespace {

struct KeyPair {
    SDL_Keycode key;
    std::uintptr_t virtualKey;
};

constexpr KeyPair namedKeys[] = {
    {SDLK_BACKSPACE, VK_BACK},  {SDLK_TAB, VK_TAB},       {SDLK_RETURN, VK_RETURN},
    {SDLK_KP_ENTER, VK_RETURN}, {SDLK_LSHIFT, VK_SHIFT},  {SDLK_RSHIFT, VK_SHIFT},
    {SDLK_LCTRL, VK_CONTROL},   {SDLK_RCTRL, VK_CONTROL}, {SDLK_LALT, VK_MENU},
    {SDLK_RALT, VK_MENU},       {SDLK_PAUSE, VK_PAUSE},   {SDLK_CAPSLOCK, VK_CAPITAL},
    {SDLK_ESCAPE, VK_ESCAPE},   {SDLK_SPACE, VK_SPACE},   {SDLK_PAGEUP, VK_PRIOR},
    {SDLK_PAGEDOWN, VK_NEXT},   {SDLK_END, VK_END},       {SDLK_HOME, VK_HOME},
    {SDLK_LEFT, VK_LEFT},       {SDLK_UP, VK_UP},         {SDLK_RIGHT, VK_RIGHT},
    {SDLK_DOWN, VK_DOWN},       {SDLK_INSERT, VK_INSERT}, {SDLK_DELETE, VK_DELETE},
};

} // namespace

std::uintptr_t virtualKeyFor(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) {
        return VK_A + static_cast<std::uintptr_t>(key - SDLK_a);
    }
    if (key >= SDLK_0 && key <= SDLK_9) {
        return VK_0 + static_cast<std::uintptr_t>(key - SDLK_0);
    }
    if (key >= SDLK_F1 && key <= SDLK_F12) {
        return VK_F1 + static_cast<std::uintptr_t>(key - SDLK_F1);
    }
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9) {
        return VK_NUMPAD0 + 1 + static_cast<std::uintptr_t>(key - SDLK_KP_1);
    }
    if (key == SDLK_KP_0) {
        return VK_NUMPAD0;
    }
    for (const KeyPair& pair : namedKeys) {
        if (pair.key == key) {
            return pair.virtualKey;
        }
    }
    return 0;
}

} // namespace platform
