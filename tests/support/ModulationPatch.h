#pragma once

#include "support/InstrumentRig.h"
#include "modulation/PatchSources.h"

namespace zr
{

// Patches every modulation source into the instrument: FM from MG1, the general envelope and the
// sample and hold of the noise generator; cutoff modulation from MG1, the envelope and a voltage
// processor; PWM from a lag; resonators swept by MG1 and MG2; AM; the envelope modulators' attack
// from an attenuator and their release from a trigger input that stays quiet (so held keys keep
// sounding); MG1 frequency and depth from the wheel and +5V; channel gate and VCA from +5V; the
// processors, lags and attenuators chained on MGs, keys and bend. The worst case of the control
// tick and of the per-sample pitch and cutoff paths.
inline void PatchEverySource(InstrumentRig& rig)
{
    using namespace Param;
    for (int b = 0; b < kNumBlocks; ++b)
    {
        const auto set = [&](int position, double value)
        { rig.SetValue(BlockParamIndex(b, position), value); };
        set(kFmMod, 1.0);
        set(kFmMg1, 300.0);
        set(kFmGeg, 200.0);
        set(kFmSrc, CvSource::kSampleHold);
        set(kPwmSrc, CvSource::kLag1);
        set(kFcMod, 1.0);
        set(kFcMg1, 0.3);
        set(kFcGeg, 0.2);
        set(kFcSrc, CvSource::kVp1);
        set(kEmASrc, CvSource::kAtn1);
        set(kEmRSrc, TriggerSource::kTrg1);
        set(kRsInt, 0.5);
        set(kRsMod, 1.0);
        set(kRfcSrc, CvSource::kMg1A + 2 * b);
        set(kAmInt, 0.3);
        set(kAmMod, 1.0);
        set(kMg1Freq, 5.0 + b);
        set(kMg1FSrc, CvSource::kModWheel);
        set(kMg1MSrc, CvSource::kPlus5V);
        set(kMg2Freq, 3.0);
        set(kVcaFSrc, CvSource::kPlus5V);
        set(kChGate, CvSource::kPlus5V);
    }
    rig.SetValue(kTvcaSrc, CvSource::kPlus5V);
    rig.SetValue(kShFreq, 10.0);
    rig.SetValue(kShIn, CvSource::kShRandom);
    rig.SetValue(kGegSrc1, TriggerSource::kMultiple);
    rig.SetValue(kGegAtk, 0.2);
    rig.SetValue(kGegRel, 0.3);
    rig.SetValue(kVp1A, 0.5);
    rig.SetValue(kVp1B, 0.2);
    rig.SetValue(kVp1Src, CvSource::kMg2A);
    rig.SetValue(kVp2Src, CvSource::kKey);
    rig.SetValue(kLag1, 0.5);
    rig.SetValue(kLag1Src, CvSource::kSampleHold);
    rig.SetValue(kLag2Src, CvSource::kMg1B);
    rig.SetValue(kAtn1, 0.5);
    rig.SetValue(kAtn1Src, CvSource::kMg2C);
    rig.SetValue(kAtn2Src, CvSource::kGe1Negative);
    rig.SetValue(kAtn3Src, CvSource::kPitchBend);
}

} // namespace zr
