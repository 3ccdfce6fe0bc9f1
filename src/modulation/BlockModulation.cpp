#include "modulation/BlockModulation.h"

#include "common/Sanitize.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace zr
{

BlockModulation::BlockModulation(const HostClock& clock) : mg1(clock), mg2(clock) {}

int BlockModulation::PitchUnits(double x)
{
    if (std::isnan(x)) return 0;
    return static_cast<int>(std::trunc(std::clamp(x, -kPitchUnitLimit, kPitchUnitLimit)));
}

int BlockModulation::Steps(double x)
{
    if (!(x > 0.0)) return 0;
    return x >= static_cast<double>(INT_MAX) ? INT_MAX : static_cast<int>(x);
}

void BlockModulation::SetUp(double fs)
{
    sampleRate = fs;
    SetMg1Frequency(mg1Freq, mg1FreqNorm);
}

void BlockModulation::SetMg1Frequency(double hz, double normalized)
{
    mg1Freq = hz;
    mg1FreqNorm = normalized;
    // Without a sample rate (before the first set-up) there is no period to count; set-up
    // re-applies the frequency.
    if (hz > 0.0 && sampleRate > 0.0) mg1.SetPeriod(Steps(sampleRate / hz));
}

void BlockModulation::SetMg2Frequency(double hz)
{
    if (hz > 0.0) mg2.SetPeriod(Steps(kTicksPerSecond / hz));
}

void BlockModulation::ModulateMg1Frequency()
{
    double y = kMg1FreqSourceShift * *mg1FreqSource + mg1FreqNorm;
    y = NanAsZeroClamped(y, 0.0, 1.0);
    const double y3 = y * y * y;
    mg1.SetPeriod(Steps(sampleRate / (y3 * y3 * kMg1SpanHz + kMg1MinHz)));
}

double BlockModulation::StepMg1()
{
    if (mg1FreqSource) ModulateMg1Frequency();
    mg1.Step();
    const double raw = mg1.Output();
    mg1Output = mg1AmpSource ? raw * PositivePart(*mg1AmpSource) : raw;
    return raw;
}

int BlockModulation::PitchOffset(double bendAmount) const
{
    double f = 0.0;
    if (fmOn)
    {
        f = *fmSource * fmSourceDepth + fmMg1Depth * mg1Output;
        if (fmNegative) f = -f;
    }
    return PitchUnits(f + bendAmount);
}

int BlockModulation::CutoffOffset() const
{
    if (!fcModOn) return 0;
    return PitchUnits((*fcSource * fcSourceDepth + fcMg1Depth * mg1Output) * kCutoffModUnits);
}

double BlockModulation::ResonatorControl() const
{
    const double l = ((rsModOn ? mg2.Output() : 0.0) + *rsSource) * 0.5 + 0.5;
    return l * l;
}

} // namespace zr
