#include "modulation/Modulation.h"

#include "modulation/BlockModulation.h"
#include "modulation/NoiseGenerator.h"

namespace zr
{

Modulation::Modulation()
{
    SetShFrequency(kDefaultShFreq);
}

void Modulation::Reset(double sampleRate)
{
    geg.Reset(sampleRate);
    for (LagFilter& lag : lags)
        lag.Reset();
}

void Modulation::SetShInput(const double* source, bool random)
{
    shInput = source;
    shRandom = random;
}

void Modulation::SetShFrequency(double hz)
{
    if (hz > 0.0) sh.SetPeriod(BlockModulation::Steps(kTicksPerSecond / hz));
}

void Modulation::SetGegTrigger(int index, const bool* flag)
{
    if (index >= 0 && index < kGegTriggers) gegTrigger[index] = flag;
}

void Modulation::SetExternalClock(int index, int division)
{
    if (index >= 0 && index < kExternalClocks)
        externalClock[index] = HostClock::IsDivision(division) ? division : 0;
}

void Modulation::StepSampleHold()
{
    double x = 0.0;
    if (shRandom)
        x = NoiseGenerator::Next();
    else if (shInput)
        x = *shInput;
    sh.Step(x);
}

void Modulation::UpdateClockTriggers()
{
    flags[TriggerSource::kSampleHold] = sh.ClockEdge();
    for (int i = 0; i < kExternalClocks; ++i)
        flags[TriggerSource::kClk1 + i] = clock.DivisionStart(externalClock[i]);
}

void Modulation::SetTriggerFlag(int source, bool value)
{
    if (source > TriggerSource::kOff && source < TriggerSource::kCount) flags[source] = value;
}

void Modulation::TriggerGegIfSelected()
{
    for (const bool* trigger : gegTrigger)
    {
        if (trigger && *trigger)
        {
            geg.Trigger();
            return;
        }
    }
}

void Modulation::ProcessLags()
{
    for (LagFilter& lag : lags)
        lag.Process();
}

void Modulation::ProcessProcessors()
{
    vp1.Process();
    vp2.Process();
    for (Attenuator& attenuator : attenuators)
        attenuator.Process();
}

double Modulation::TotalVca() const
{
    return totalVcaSource ? BlockModulation::PositivePart(*totalVcaSource) : 1.0;
}

} // namespace zr
