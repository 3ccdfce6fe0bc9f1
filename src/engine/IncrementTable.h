#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

namespace zr
{

// Phase increment per sample for every pitch index from -17,281 to +17,279, for one instance's
// sample rate. Entry o is the increment of pitch index o - kCenter.
class IncrementTable
{
public:
    static constexpr int kSize = 34561;
    static constexpr int kLast = kSize - 1;
    static constexpr int kCenter = 17281;     // entry of pitch index 0
    static constexpr int kMasterBase = 18817; // entry of MIDI note 12 (C0), the masters' base

    IncrementTable();

    // Set-up thread. Rebuilds all entries for sample rate fs (ignored below 1 Hz).
    void Build(double fs);

    // Entry with the index clamped to the table.
    std::uint32_t At(int entry) const { return entries_[std::clamp(entry, 0, kLast)]; }

private:
    std::vector<std::uint32_t> entries_;
};

} // namespace zr
