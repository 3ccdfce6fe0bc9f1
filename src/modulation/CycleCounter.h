#pragma once

namespace zr
{

class HostClock;

// The period counter shared by the modulation generators and the sample and hold: a cycle of
// `period` whole steps, `phase` counting down from period - 1 to 0, optionally copied from a host
// clock division, with an edge detector that reports each cycle start once.
// Audio thread, or under the instance lock for parameter changes.
class CycleCounter
{
public:
    explicit CycleCounter(const HostClock& clock) : clock(clock) {}

    // New cycle length in steps. Free running: the position within the cycle is kept in proportion
    // (n <= 0 stops the cycle at phase 0). Host-synchronised: only the base period is kept.
    void SetPeriod(int n);

    // Host division 0 ("off") to 20; anything else counts as "off".
    void SetHostDivision(int division);

    // Restarts the phase when it lies outside the cycle (a shortened period or a copied start).
    void Wrap()
    {
        if (phase >= period) phase = 0;
    }

    // -1 at the cycle start rising to +1 at its end; 0 for cycles shorter than two steps.
    double Ramp() const { return period >= 2 ? 1.0 - 2.0 * phase / (period - 1) : 0.0; }

    // True while the phase is in the first half of the cycle.
    bool InFirstHalf() const { return 2LL * phase >= period; }

    // Counts one step down, or copies period and phase from the selected host division.
    void Advance();

    // Once per control tick: true at the first test after the cycle has restarted.
    bool ClockEdge();

    // Cycle length without touching the phase or the base period (S/H sync).
    void SetCyclePeriod(int n) { period = n; }

    // Period and phase back to the base period (S/H sync switched off).
    void RestartAtBasePeriod() { period = phase = basePeriod; }

    int Period() const { return period; }
    int BasePeriod() const { return basePeriod; }
    int Phase() const { return phase; }
    int Division() const { return division; }
    bool HostSynced() const { return hostSynced; }

private:
    const HostClock& clock;
    bool hostSynced = false;
    bool edgeState = false;
    int division = 0;
    int period = 1;
    int basePeriod = 1;
    int phase = 0;
};

} // namespace zr
