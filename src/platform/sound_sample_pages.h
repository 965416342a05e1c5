#pragma once

#include <cstddef>

// The memory a sample buffer lives in, from the system in whole pages, made readable, writable
// and present in one call.
namespace platform::sample_pages {

std::size_t pageSize();
// bytes, a whole number of pages; nullptr when memory runs out.
void* take(std::size_t bytes);
// A larger range holding the first keptBytes of pages, which are given back; nullptr, with
// pages untouched, when memory runs out.
void* grow(void* pages, std::size_t bytes, std::size_t largerBytes, std::size_t keptBytes);
void giveBack(void* pages, std::size_t bytes);

} // namespace platform::sample_pages
