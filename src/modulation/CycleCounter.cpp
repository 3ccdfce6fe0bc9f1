#include "modulation/CycleCounter.h"

#include "modulation/HostClock.h"

namespace zr
{

void CycleCounter::SetPeriod(int n)
{
    basePeriod = n;
    if (hostSynced) return;
    // A stopped cycle (period < 1, e.g. copied from a division without tempo) has no position to
    // keep; scaling by it would divide by zero.
    if (n > 0 && period > 0)
        phase = static_cast<int>(static_cast<double>(n) / period * phase);
    else
        phase = 0;
    period = n;
}

void CycleCounter::SetHostDivision(int newDivision)
{
    division = HostClock::IsDivision(newDivision) ? newDivision : 0;
    hostSynced = division > 0;
}

void CycleCounter::Advance()
{
    if (hostSynced)
    {
        period = clock.Period(division);
        phase = clock.Phase(division);
        return;
    }
    if (--phase < 0) phase = period - 1;
}

bool CycleCounter::ClockEdge()
{
    const bool first = InFirstHalf();
    const bool edge = first && !edgeState;
    edgeState = first;
    return edge;
}

} // namespace zr
