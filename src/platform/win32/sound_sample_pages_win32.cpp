#include "platform/sound_sample_pages.h"

#include <cstring>
#include <windows.h>

namespace platform::sample_pages {

std::size_t pageSize() {
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    return system.dwPageSize;
}

// The whole range is committed in one call rather than page by page as it fills.
void* take(std::size_t bytes) {
    return VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

// Windows has no call that moves pages to a larger range, so growing copies what is held.
void* grow(void* pages, std::size_t bytes, std::size_t largerBytes, std::size_t keptBytes) {
    void* larger = take(largerBytes);
    if (larger != nullptr) {
        std::memcpy(larger, pages, keptBytes);
        giveBack(pages, bytes);
    }
    return larger;
}

void giveBack(void* pages, std::size_t) {
    VirtualFree(pages, 0, MEM_RELEASE);
}

} // namespace platform::sample_pages
