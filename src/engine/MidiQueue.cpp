#include "engine/MidiQueue.h"

#include <algorithm>
#include <new>

namespace zr
{

namespace
{
int RoundUpToGrowthUnit(int n)
{
    return (n + MidiQueue::kGrowthUnit - 1) / MidiQueue::kGrowthUnit * MidiQueue::kGrowthUnit;
}
} // namespace

void MidiQueue::Resize(int maxBlockSize)
{
    DropConsumed();
    // A host that announces no block size still gets one growth unit, so MIDI is never dropped.
    granularity_ = RoundUpToGrowthUnit(std::max(maxBlockSize, 1));
    const int wanted = count_ > granularity_ ? RoundUpToGrowthUnit(count_) : granularity_;
    if (wanted != capacity_) Reallocate(wanted);
}

void MidiQueue::Add(const MidiMessage& message)
{
    if (count_ >= capacity_)
    {
        if (readIndex_ > 0)
            DropConsumed();
        else if (granularity_ == 0 || !Reallocate(granularity_ * (capacity_ / granularity_ + 1)))
            return;
    }
    int position = count_;
    if (count_ > readIndex_ && message.offset < items_[count_ - 1].offset)
    {
        while (position > readIndex_ && items_[position - 1].offset > message.offset)
            --position;
        std::move_backward(items_.get() + position, items_.get() + count_, items_.get() + count_ + 1);
    }
    items_[position] = message;
    ++count_;
}

void MidiQueue::DropConsumed()
{
    if (readIndex_ == 0) return;
    std::move(items_.get() + readIndex_, items_.get() + count_, items_.get());
    count_ -= readIndex_;
    readIndex_ = 0;
}

bool MidiQueue::Reallocate(int newCapacity)
{
    std::unique_ptr<MidiMessage[]> storage(new (std::nothrow) MidiMessage[newCapacity]);
    if (!storage) return false;
    std::copy(items_.get(), items_.get() + count_, storage.get());
    items_ = std::move(storage);
    capacity_ = newCapacity;
    return true;
}

} // namespace zr
