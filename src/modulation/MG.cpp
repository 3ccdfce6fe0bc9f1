#include "modulation/MG.h"

#include "modulation/NoiseGenerator.h"

#include <algorithm>

namespace zr
{

void MG::Step()
{
    cycle.Wrap();
    output = Shape(cycle.Ramp());
    cycle.Advance();
}

void MG::SetWaveform(int newWaveform)
{
    waveform = std::clamp(newWaveform, 0, kWaveformCount - 1);
}

double MG::Shape(double r)
{
    switch (waveform)
    {
    case kTriangle:
        return r < 0.0 ? 2.0 * r + 1.0 : 2.0 * (1.0 - r) - 1.0;
    case kSawDown:
        return -r;
    case kSawUp:
        return r;
    case kSquare:
        return r < 0.0 ? 1.0 : -1.0;
    case kNoiseFiltered:
        return PinkFilter(NoiseGenerator::Next());
    default:
        return NoiseGenerator::Next();
    }
}

double MG::PinkFilter(double w)
{
    pink1 = kPinkPole1 * pink1 + kPinkGain1 * w;
    pink2 = kPinkPole2 * pink2 + kPinkGain2 * w;
    pink3 = kPinkPole3 * pink3 + kPinkGain3 * w;
    return kPinkOutputGain * (pink1 + pink2 + pink3 + kPinkDirectGain * w);
}

} // namespace zr
