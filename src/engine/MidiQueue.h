#pragma once

#include "common/MidiMessage.h"

#include <memory>

namespace zr
{

// Time-ordered queue of MIDI messages waiting for their control tick. Unread items are kept in
// non-decreasing offset order; items of equal offset keep their order of arrival.
// Used on the audio thread only (add, drain) and at set-up (resize).
class MidiQueue
{
public:
    static constexpr int kGrowthUnit = 512; // items: 4,096 bytes

    // Set-up: drops consumed items and sizes the storage for the host's maximum block size.
    void Resize(int maxBlockSize);

    // Inserts in offset order. Grows by the granularity when full (the only allocation on the audio
    // path); a message that cannot be stored is dropped.
    void Add(const MidiMessage& message);

    // Handles every message due before the next tick boundary, then moves the remaining offsets
    // one tick earlier.
    template <class Handler> void Drain(int samplesPerTick, Handler&& handle)
    {
        while (readIndex_ < count_ && items_[readIndex_].offset < samplesPerTick)
        {
            handle(items_[readIndex_]);
            ++readIndex_;
        }
        DropConsumed();
        for (int i = 0; i < count_; ++i)
            items_[i].offset -= samplesPerTick;
    }

    void Clear() { readIndex_ = count_ = 0; }

    int Capacity() const { return capacity_; }
    int Granularity() const { return granularity_; }
    int Unread() const { return count_ - readIndex_; }

private:
    void DropConsumed();
    bool Reallocate(int newCapacity);

    std::unique_ptr<MidiMessage[]> items_;
    int capacity_ = 0;
    int granularity_ = 0;
    int readIndex_ = 0;
    int count_ = 0;
};

} // namespace zr
