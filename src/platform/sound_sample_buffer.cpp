#include "platform/sound_sample_buffer.h"

#include "platform/sound_sample_pages.h"

#include <cassert>
#include <cstdint>
#include <utility>

namespace platform {
namespace {

std::size_t roundToPages(std::size_t bytes) {
    const std::size_t page = sample_pages::pageSize();
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
    void* pages = samples
                      ? sample_pages::grow(samples, mappedBytes, bytes, used * sizeof(std::int16_t))
                      : sample_pages::take(bytes);
    if (pages == nullptr) {
        return false;
    }
    samples = static_cast<std::int16_t*>(pages);
    mappedBytes = bytes;
    return true;
}

void SampleBuffer::resize(std::size_t count) {
    assert(count <= capacity());
    used = count;
}

void SampleBuffer::release() {
    if (samples) {
        sample_pages::giveBack(samples, mappedBytes);
    }
    samples = nullptr;
    used = 0;
    mappedBytes = 0;
}

} // namespace platform
