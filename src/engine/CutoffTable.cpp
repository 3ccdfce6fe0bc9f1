#include "engine/CutoffTable.h"

#include "engine/PitchTables.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace zr
{

CutoffTable::CutoffTable() : entries_(kLast + 1, 0.0) {}

void CutoffTable::Build(double fs)
{
    if (!(fs >= 1.0)) return;
    const double rate = static_cast<float>(fs);
    for (int i = 0; i <= kLast; ++i)
    {
        const double f = std::min(NoteFrequency(i), kNyquistLimit * rate);
        entries_[i] = std::tan(std::numbers::pi * f / rate);
    }
}

} // namespace zr
