#pragma once

#include "modulation/CycleCounter.h"

namespace zr
{

class HostClock;

// A modulation generator: MG1 of a block is stepped once per sample, MG2 once per control tick
// (at tick position 0). Periods are whole steps; the output runs from -1 to +1 and a clock edge
// marks every cycle start. Audio thread; parameter setters under the instance lock.
class MG
{
public:
    enum Waveform
    {
        kTriangle = 0,
        kSawDown = 1,
        kSawUp = 2,
        kSquare = 3,
        kNoiseFiltered = 4, // the pink filter applied to the noise (shown as "White Noise")
        kNoiseRaw = 5,      // the noise as drawn (shown as "Pink Noise")
        kWaveformCount = 6
    };

    // Pink filter: three one-pole low-passes of the white noise with these poles and gains.
    static constexpr double kPinkPole1 = 0.99765, kPinkGain1 = 0.099046;
    static constexpr double kPinkPole2 = 0.963, kPinkGain2 = 0.2965164;
    static constexpr double kPinkPole3 = 0.57, kPinkGain3 = 1.0526913;
    static constexpr double kPinkDirectGain = 0.1848;
    static constexpr double kPinkOutputGain = 0.5;

    explicit MG(const HostClock& clock) : cycle(clock) {}
    virtual ~MG() = default;

    // One step: computes the output at the current phase, then advances the cycle.
    void Step();

    // Cycle length in steps, keeping the position within the cycle in proportion (see CycleCounter).
    // Also the per-sample frequency modulation of MG1.
    void SetPeriod(int n) { cycle.SetPeriod(n); }

    // "MG1 Host" / "MG2 Host": 0 free running, 1 to 20 a host division.
    void SetHostDivision(int division) { cycle.SetHostDivision(division); }

    // "MG1 Wave"; values outside 0..5 are limited to that range.
    void SetWaveform(int waveform);

    // Once per control tick: true at the first test after the cycle restarted.
    bool ClockEdge() { return cycle.ClockEdge(); }

    // Stable address for patch references.
    const double& Output() const { return output; }

    int Waveform() const { return waveform; }
    const CycleCounter& Cycle() const { return cycle; }

private:
    double Shape(double ramp);
    double PinkFilter(double white);

    double output = 0.0;
    CycleCounter cycle;
    int waveform = kTriangle;
    double pink1 = 0.0, pink2 = 0.0, pink3 = 0.0;
};

} // namespace zr
