#include "platform/sound_sample_buffer.h"

#include <cstdint>
#include <gtest/gtest.h>

namespace {

using platform::SampleBuffer;

void fillPattern(SampleBuffer& buffer, std::size_t count) {
    buffer.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        buffer.data()[i] = static_cast<std::int16_t>(i * 7919);
    }
}

bool holdsPattern(const SampleBuffer& buffer, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        if (buffer.data()[i] != static_cast<std::int16_t>(i * 7919)) {
            return false;
        }
    }
    return true;
}

TEST(SampleBufferTest, GrowingKeepsTheSamplesHeld) {
    SampleBuffer buffer;
    EXPECT_EQ(buffer.capacity(), 0u);
    ASSERT_TRUE(buffer.reserve(1000));
    EXPECT_GE(buffer.capacity(), 1000u);
    fillPattern(buffer, 1000);
    // Far past the first mapping, so the pages have to move.
    ASSERT_TRUE(buffer.reserve(8 * 1024 * 1024));
    EXPECT_GE(buffer.capacity(), 8u * 1024 * 1024);
    EXPECT_EQ(buffer.size(), 1000u);
    EXPECT_TRUE(holdsPattern(buffer, 1000));
    buffer.data()[8 * 1024 * 1024 - 1] = 5; // the whole new room is writable
    EXPECT_TRUE(buffer.reserve(10)) << "asking for less than there is changes nothing";
    EXPECT_TRUE(holdsPattern(buffer, 1000));
}

TEST(SampleBufferTest, AnImpossibleSizeIsRefusedAndTheSamplesStay) {
    SampleBuffer buffer;
    ASSERT_TRUE(buffer.reserve(100));
    fillPattern(buffer, 100);
    EXPECT_FALSE(buffer.reserve(SIZE_MAX / 2));
    EXPECT_FALSE(buffer.reserve(std::size_t{1} << 60));
    EXPECT_TRUE(holdsPattern(buffer, 100));
}

TEST(SampleBufferTest, MovingHandsTheMappingOver) {
    SampleBuffer source;
    ASSERT_TRUE(source.reserve(500));
    fillPattern(source, 500);
    SampleBuffer moved(std::move(source));
    EXPECT_EQ(source.data(), nullptr);
    EXPECT_EQ(source.size(), 0u);
    EXPECT_EQ(moved.size(), 500u);
    EXPECT_TRUE(holdsPattern(moved, 500));

    SampleBuffer assigned;
    ASSERT_TRUE(assigned.reserve(10));
    assigned = std::move(moved);
    EXPECT_EQ(moved.capacity(), 0u);
    EXPECT_TRUE(holdsPattern(assigned, 500));
}

} // namespace
