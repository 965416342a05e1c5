#pragma once

#include <SDL_keycode.h>
#include <cstdint>

namespace platform {

// The virtual-key code of a key, or 0 for a key that has none (its messages are dropped).
std::uintptr_t virtualKeyFor(SDL_Keycode key);

} // namespace platform
