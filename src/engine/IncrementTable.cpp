#include "engine/IncrementTable.h"

#include "engine/PitchTables.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace zr
{

IncrementTable::IncrementTable() : entries_(kSize, 0) {}

void IncrementTable::Build(double fs)
{
    if (!(fs >= 1.0)) return;
    const double rate = static_cast<float>(fs);
    // Increments above half the 32-bit range only occur far above the sample rate; they are
    // limited so the conversion stays defined.
    const double limit = std::numeric_limits<std::int32_t>::max();
    for (int o = 0; o < kSize; ++o)
    {
        const double increment = std::trunc(NoteFrequency(o - kCenter) * pitch::kPhaseOne / rate);
        entries_[o] = static_cast<std::uint32_t>(std::min(increment, limit));
    }
}

} // namespace zr
