#include "modulation/SH.h"

#include "common/Sanitize.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace zr
{

void SH::Step(double x)
{
    if (!cycle.InFirstHalf())
    {
        armed = true;
    }
    else if (armed)
    {
        output = x;
        armed = false;
        if (!cycle.HostSynced() && sync) cycle.SetCyclePeriod(SyncedPeriod(x));
    }
    cycle.Advance();
}

void SH::SetSync(bool on)
{
    sync = on;
    if (!on) cycle.RestartAtBasePeriod();
}

int SH::SyncedPeriod(double x) const
{
    // The input is limited to the -1..+1 range the factor is defined for: an overshooting or
    // runaway source (a lag at corner 0 keeps extrapolating) must not overflow the period.
    const double limited = NanAsZeroClamped(x, -1.0, 1.0);
    const double length = ((limited + 1.0) * 0.5 + kSyncMinFactor) * cycle.BasePeriod();
    return static_cast<int>(std::clamp(length, static_cast<double>(INT_MIN), static_cast<double>(INT_MAX)));
}

} // namespace zr
