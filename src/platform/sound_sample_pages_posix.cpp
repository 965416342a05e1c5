#include "platform/sound_sample_pages.h"

#include <sys/mman.h>
#include <unistd.h>

namespace platform::sample_pages {

std::size_t pageSize() {
    return static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

void* take(std::size_t bytes) {
    void* mapped = mmap(nullptr, bytes, PROT_READ | PROT_WRITE,
                        MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
    return mapped == MAP_FAILED ? nullptr : mapped;
}

// Moves the pages instead of copying them.
void* grow(void* pages, std::size_t bytes, std::size_t largerBytes, std::size_t) {
    void* mapped = mremap(pages, bytes, largerBytes, MREMAP_MAYMOVE);
    return mapped == MAP_FAILED ? nullptr : mapped;
}

void giveBack(void* pages, std::size_t bytes) {
    munmap(pages, bytes);
}

} // namespace platform::sample_pages
