#pragma once

#include "modulation/CycleCounter.h"

namespace zr
{

class HostClock;

// The sample and hold, clocked once per control tick: it samples its input once per cycle, at the
// cycle start (the moment of its clock edge). With sync on, the sampled value stretches the next
// cycle to 0.5 .. 1.5 base periods. Audio thread; parameter setters under the instance lock.
class SH
{
public:
    static constexpr double kSyncMinFactor = 0.5; // period factor at input -1 (+1 gives 1.5)

    explicit SH(const HostClock& clock) : cycle(clock) {}
    virtual ~SH() = default;

    // One control tick with input value x.
    void Step(double x);

    // "S/H Freq" in ticks; the same rule as the modulation generators.
    void SetPeriod(int n) { cycle.SetPeriod(n); }

    // "S/H Host": 0 free running, 1 to 20 a host division.
    void SetHostDivision(int division) { cycle.SetHostDivision(division); }

    // "S/H Sync"; switching it off puts period and phase back to the base period.
    void SetSync(bool on);

    bool ClockEdge() { return cycle.ClockEdge(); }

    // Stable address for patch references.
    const double& Output() const { return output; }

    bool Armed() const { return armed; }
    bool Sync() const { return sync; }
    const CycleCounter& Cycle() const { return cycle; }

private:
    int SyncedPeriod(double x) const;

    double output = 0.0;
    CycleCounter cycle;
    bool armed = false;
    bool sync = false;
};

} // namespace zr
