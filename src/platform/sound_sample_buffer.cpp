#include "platform/sound_sample_buffer.h"

#include <cassert>
#include <sys/mman.h>
#include <unistd.h>
#include <utility>

namespace platform {
namespace {

std::size_t roundToPages(std::size_t bytes) {
    const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
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

bool SampleBuffer::reserve(std::size_t count) {
    if (count <= capacity()) {
        return true;
    }
    if (count > SIZE_MAX / sizeof(std::int16_t) / 2) {
        return false;
    }
    const std::size_t bytes = roundToPages(count * sizeof(std::int16_t));
    void* mapped = nullptr;
    if (samples) {
        // Moves the pages instead of copying them.
        mapped = mremap(samples, mappedBytes, bytes, MREMAP_MAYMOVE);
    } else {
        mapped = mmap(nullptr, bytes, PROT_READ | PROT_WRITE,
                      MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
    }
    if (mapped == MAP_FAILED) {
        return false;
    }
    samples = static_cast<std::int16_t*>(mapped);
    mappedBytes = bytes;
    return true;
}

void SampleBuffer::resize(std::size_t count) {
    assert(count <= capacity());
    used = count;
}

void SampleBuffer::release() {
    if (samples) {
        munmap(samples, mappedBytes);
    }
    samples = nullptr;
    used = 0;
    mappedBytes = 0;
}

} // namespace platform
