#include "engine/MidiQueue.h"

#include <gtest/gtest.h>

#include <vector>

namespace zr::test
{
namespace
{

MidiMessage At(int offset, int tag)
{
    return {offset, 0x90, static_cast<std::uint8_t>(tag), 1};
}

std::vector<int> DrainTags(MidiQueue& queue, int samplesPerTick)
{
    std::vector<int> tags;
    queue.Drain(samplesPerTick, [&](const MidiMessage& m) { tags.push_back(m.data1); });
    return tags;
}

TEST(MidiQueue, OrdersByOffsetKeepingArrivalOrderForEqualOffsets)
{
    MidiQueue queue;
    queue.Resize(512);
    queue.Add(At(10, 1));
    queue.Add(At(10, 2));
    queue.Add(At(50, 3));
    queue.Add(At(5, 4));  // smaller than everything queued
    queue.Add(At(10, 5)); // equal to two queued ones: after them
    queue.Add(At(60, 6));
    EXPECT_EQ(DrainTags(queue, 44), (std::vector<int>{4, 1, 2, 5}));
    EXPECT_EQ(queue.Unread(), 2);
    // Remaining offsets moved one tick earlier: 6 and 16.
    EXPECT_TRUE(DrainTags(queue, 6).empty());
    EXPECT_EQ(DrainTags(queue, 1), (std::vector<int>{3}));
    EXPECT_EQ(DrainTags(queue, 10), (std::vector<int>{6}));
}

TEST(MidiQueue, LateMessagesAreHandledAtTheNextBoundary)
{
    MidiQueue queue;
    queue.Resize(64);
    queue.Add(At(100, 1));
    queue.Add(At(-30, 2));
    EXPECT_EQ(DrainTags(queue, 48), (std::vector<int>{2}));
}

TEST(MidiQueue, ResizeRoundsToPagesAndKeepsUnreadItems)
{
    MidiQueue queue;
    queue.Resize(1);
    EXPECT_EQ(queue.Granularity(), 512);
    EXPECT_EQ(queue.Capacity(), 512);
    queue.Resize(513);
    EXPECT_EQ(queue.Capacity(), 1024);
    for (int i = 0; i < 1100; ++i)
        queue.Add(At(i, i % 128));
    queue.Resize(100);
    EXPECT_EQ(queue.Granularity(), 512);
    EXPECT_EQ(queue.Capacity(), 1536); // 1,100 stored items rounded up
    EXPECT_EQ(queue.Unread(), 1100);
    queue.Resize(0); // a host without a block size still gets one page
    EXPECT_EQ(queue.Granularity(), 512);
}

TEST(MidiQueue, GrowsBeyondItsCapacityWithoutLosingOrder)
{
    MidiQueue queue;
    queue.Resize(16);
    for (int i = 0; i < 1300; ++i)
        queue.Add(At(1300 - i, i % 128)); // every one inserted before all queued ones
    EXPECT_EQ(queue.Capacity(), 1536);
    EXPECT_EQ(queue.Unread(), 1300);
    std::vector<int> offsets;
    queue.Drain(2000, [&](const MidiMessage& m) { offsets.push_back(m.offset); });
    ASSERT_EQ(offsets.size(), 1300u);
    EXPECT_TRUE(std::is_sorted(offsets.begin(), offsets.end()));
}

TEST(MidiQueue, FullQueueReusesConsumedSpaceBeforeGrowing)
{
    MidiQueue queue;
    queue.Resize(512);
    for (int i = 0; i < 512; ++i)
        queue.Add(At(0, 1));
    int handled = 0;
    queue.Drain(1, [&](const MidiMessage&) { ++handled; });
    EXPECT_EQ(handled, 512);
    for (int i = 0; i < 512; ++i)
        queue.Add(At(0, 1));
    EXPECT_EQ(queue.Capacity(), 512);
}

TEST(MidiQueue, WithoutSetUpMessagesAreDropped)
{
    MidiQueue queue;
    queue.Add(At(0, 1));
    EXPECT_EQ(queue.Unread(), 0);
}

} // namespace
} // namespace zr::test
