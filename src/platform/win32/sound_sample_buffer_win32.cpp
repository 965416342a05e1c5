#include "platform/sound_sample_buffer.h"

#include <cassert>
#include <cstdint>
#include <cstring>
#include <utility>
#include <windows.h>

namespace platform {
namespace {

std::size_t roundToPages(std::size_t bytes) {
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    const std::size_t page = system.dwPageSize;
    return (bytes + page - 1) / page * page;
}

} // namespace

SampleBuffer::~SampleBuffer() {
    release();
}

SampleBuffer::SampleBuffer(SampleBuffer&& other) noexcept
    : samples(std::exchange(other.samples, nullptr)), used(std::exchange(other.used, 0)),
      mappedBytes(std::exchange(other.mappedBytes, 0)) {}

SampleBuffer& SampleBuffer::operator=(SampleBuffer&& other) noexcept {
    if (this != &other) {
        release();
        samples = std::exchange(other.samples, nullptr);
        used = std::exchange(other.used, 0);
        mappedBytes = std::exchange(other.mappedBytes, 0);
    }
    return *this;
}

// The whole range is committed in one call rather than page by page as it fills. Windows has no
// call that moves pages to a larger range, so growing copies what is held.
bool SampleBuffer::reserve(std::size_t count) {
    if (count <= capacity()) {
        return true;
    }
    if (count > SIZE_MAX / sizeof(std::int16_t) / 2) {
        return false;
    }
    const std::size_t bytes = roundToPages(count * sizeof(std::int16_t));
    void* committed = VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    if (committed == nullptr) {
        return false;
    }
    if (samples) {
        std::memcpy(committed, samples, used * sizeof(std::int16_t));
        VirtualFree(samples, 0, MEM_RELEASE);
    }
    samples = static_cast<std::int16_t*>(committed);
    mappedBytes = bytes;
    return true;
}

void SampleBuffer::resize(std::size_t count) {
    assert(count <= capacity());
    used = count;
}

void SampleBuffer::release() {
    if (samples) {
        VirtualFree(samples, 0, MEM_RELEASE);
    }
    samples = nullptr;
    used = 0;
    mappedBytes = 0;
}

} // namespace platform
