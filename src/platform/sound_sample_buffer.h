#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

// Interleaved 16-bit samples in memory that is mapped and populated in one go: on machines where
// each first touch of a page traps into the hypervisor, faulting a decoded loop in page by page
// costs more than decoding it.
class SampleBuffer {
public:
    SampleBuffer() = default;
    ~SampleBuffer();
    SampleBuffer(SampleBuffer&& other) noexcept;
    SampleBuffer& operator=(SampleBuffer&& other) noexcept;
    SampleBuffer(const SampleBuffer&) = delete;
    SampleBuffer& operator=(const SampleBuffer&) = delete;

    // Room for at least count samples in all, keeping those held; false when memory runs out.
    bool reserve(std::size_t count);
    // Within the reserved room only.
    void resize(std::size_t count);

    std::int16_t* data() { return samples; }
    const std::int16_t* data() const { return samples; }
    std::size_t size() const { return used; }
    std::size_t capacity() const { return mappedBytes / sizeof(std::int16_t); }

private:
    void release();

    std::int16_t* samples = nullptr;
    std::size_t used = 0;
    std::size_t mappedBytes = 0;
};

} // namespace platform
