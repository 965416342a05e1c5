#include "platform/heap_reuse.h"

#include <cstdlib>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace platform {

#if defined(__GLIBC__)
namespace {

// Blocks below this come from the heap rather than from pages mapped for each one.
constexpr int largestHeapBlock = 16 * 1024 * 1024;
// Free memory at the top of the heap is given back only beyond this.
constexpr int keptFreeMemory = 64 * 1024 * 1024;

} // namespace
#endif

void keepFreedMemoryForReuse() {
#if defined(__GLIBC__)
    // Both: fixing either switches off glibc's own adjustment of the other.
    mallopt(M_MMAP_THRESHOLD, largestHeapBlock);
    mallopt(M_TRIM_THRESHOLD, keptFreeMemory);
#endif
}

} // namespace platform
