#pragma once

#include "modulation/Attenuator.h"
#include "modulation/GeneralEnvelope.h"
#include "modulation/HostClock.h"
#include "modulation/LagFilter.h"
#include "modulation/PatchSources.h"
#include "modulation/SH.h"
#include "modulation/VoltageProcessor.h"

#include <array>

namespace zr
{

// The instrument-level modulation state: the host clock, the sample and hold, the general envelope,
// the voltage processors, lags and attenuators, the external clocks, the clock and external trigger
// flags, and the patch selections that belong to none of the blocks. The control tick runs the
// step operations on the audio thread; the setters are the global parameter step (instance lock
// held). Addresses of every source are stable for the life of the object.
class Modulation
{
public:
    static constexpr int kExternalClocks = 4;
    static constexpr int kLags = 2;
    static constexpr int kAttenuators = 3;
    static constexpr int kGegTriggers = 2;
    static constexpr double kDefaultShFreq = 0.2; // Hz, until "S/H Freq" is applied
    static constexpr double kTicksPerSecond = 1000.0;

    Modulation();
    Modulation(const Modulation&) = delete;
    Modulation& operator=(const Modulation&) = delete;

    // Set-up thread. Reset: the GEG and the lags start over at this rate (when the tick length
    // changed); SetClockRate: the host clock counts in samples of this rate (every set-up).
    void Reset(double sampleRate);
    void SetClockRate(double sampleRate) { clock.SetSampleRate(sampleRate); }

    // ---- Global parameter step ----
    // "S/H In": the selected source, or the noise generator when random.
    void SetShInput(const double* source, bool random);
    // "S/H Freq" in Hz: a positive frequency sets the S/H period in control ticks.
    void SetShFrequency(double hz);
    void SetTotalVcaSource(const double* source) { totalVcaSource = source; }
    // "GEG Src1", "GEG Src2" (index 0, 1).
    void SetGegTrigger(int index, const bool* flag);
    // "Clk1 Src" .. "Clk4 Src" (index 0 .. 3): host division 0 (off) .. 20.
    void SetExternalClock(int index, int division);
    // "VP2 Sel": true reads VP2's own input, false VP1's.
    void SetVp2OwnInput(bool own) { vp2.ReadInputOf(own ? nullptr : &vp1); }

    // ---- Control tick ----
    // Step 1: samples the S/H input (0 without one).
    void StepSampleHold();
    // Step 3 (instrument part): the S/H clock edge and the starts of external clocks 1 .. 4.
    void UpdateClockTriggers();
    // Trigger flag of trigger-list entry `source` (MG edges, S/H, clocks, external triggers).
    void SetTriggerFlag(int source, bool value);
    // Step 4: triggers the GEG when a selected GEG trigger fired.
    void TriggerGegIfSelected();
    // Step 6: one lag step each.
    void ProcessLags();
    // Step 7.4: voltage processors and attenuators.
    void ProcessProcessors();
    // Step 7.5: total VCA gain: 1 without a source, else its value if positive, else 0.
    double TotalVca() const;

    // ---- Sources (stable addresses) ----
    const double& One() const { return one; }
    const bool& TriggerFlag(int source) const { return flags[source]; }

    HostClock& Clock() { return clock; }
    SH& SampleHold() { return sh; }
    GeneralEnvelope& Geg() { return geg; }
    VoltageProcessor& Vp1() { return vp1; }
    VoltageProcessor& Vp2() { return vp2; }
    LagFilter& Lag(int index) { return lags[index]; }
    Attenuator& Atn(int index) { return attenuators[index]; }
    const HostClock& Clock() const { return clock; }
    const SH& SampleHold() const { return sh; }
    const GeneralEnvelope& Geg() const { return geg; }
    bool ShRandom() const { return shRandom; }

private:
    HostClock clock;
    SH sh{clock};
    GeneralEnvelope geg;
    VoltageProcessor vp1;
    VoltageProcessor vp2;
    std::array<LagFilter, kLags> lags;
    std::array<Attenuator, kAttenuators> attenuators;
    const double one = 1.0;
    std::array<bool, TriggerSource::kCount> flags{};
    std::array<int, kExternalClocks> externalClock{};
    std::array<const bool*, kGegTriggers> gegTrigger{};
    const double* shInput = nullptr;
    bool shRandom = false;
    const double* totalVcaSource = nullptr;
};

} // namespace zr
