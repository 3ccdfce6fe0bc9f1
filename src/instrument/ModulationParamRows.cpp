#include "instrument/ModulationParamRows.h"

#include "instrument/ParamApplier.h"
#include "instrument/ParamRows.h"
#include "modulation/LagFilter.h"
#include "modulation/PatchSources.h"
#include "plugin/ParamStore.h"

namespace zr
{

namespace
{
using row::Flag;
using row::Integer;

// Patch selections: the reference of a source-list entry ("off" and unknown entries give none).
const double* Cv(ParamApplier& applier, double v)
{
    return applier.GetEngine().CvSource(Integer(v));
}
const bool* TriggerFlag(ParamApplier& applier, double v)
{
    return applier.GetEngine().TriggerSource(Integer(v));
}
Modulation& Mod(ParamApplier& applier)
{
    return applier.GetEngine().GetModulation();
}

// ---- Block rows ----
void FmMod(ParamApplier&, SynthBlock& block, int, double v)
{
    block.Modulation().SetFmOn(Flag(v));
}
void FmRev(ParamApplier&, SynthBlock& block, int, double v)
{
    block.Modulation().SetFmNegative(Flag(v));
}
void FmMg1(ParamApplier&, SynthBlock& block, int, double v)
{
    block.Modulation().SetFmMg1Depth(v);
}
void FmGeg(ParamApplier&, SynthBlock& block, int, double v)
{
    block.Modulation().SetFmSourceDepth(v);
}
void FmSrc(ParamApplier& applier, SynthBlock& block, int, double v)
{
    block.Modulation().SetFmSource(Cv(applier, v));
}
void PwmSrc(ParamApplier& applier, SynthBlock& block, int, double v)
{
    block.Modulation().SetPwmSource(Cv(applier, v));
}
void FcMod(ParamApplier&, SynthBlock& block, int, double v)
{
    block.Modulation().SetFcModOn(Flag(v));
}
void FcMg1(ParamApplier&, SynthBlock& block, int, double v)
{
    block.Modulation().SetFcMg1Depth(v);
}
void FcGeg(ParamApplier&, SynthBlock& block, int, double v)
{
    block.Modulation().SetFcSourceDepth(v);
}
void FcSrc(ParamApplier& applier, SynthBlock& block, int, double v)
{
    block.Modulation().SetFcSource(Cv(applier, v));
}
void EmASrc(ParamApplier& applier, SynthBlock& block, int, double v)
{
    const double* source = Cv(applier, v);
    block.ForEachVoice([source](Voice& voice) { voice.SetAttackSource(source); });
}
void EmRSrc(ParamApplier& applier, SynthBlock& block, int, double v)
{
    const bool* trigger = TriggerFlag(applier, v);
    block.ForEachVoice([trigger](Voice& voice) { voice.SetReleaseTrigger(trigger); });
}
void RsMod(ParamApplier&, SynthBlock& block, int, double v)
{
    block.Modulation().SetRsModOn(Flag(v));
}
void RfcSrc(ParamApplier& applier, SynthBlock& block, int, double v)
{
    block.Modulation().SetRsSource(Cv(applier, v));
}
void Mg1Wave(ParamApplier&, SynthBlock& block, int, double v)
{
    block.Modulation().SetMg1Waveform(Integer(v));
}
void Mg1Freq(ParamApplier& applier, SynthBlock& block, int b, double v)
{
    applier.SetMg1Freq(b, v);
    const IParameter* param = applier.Params().GetParam(Param::BlockParamIndex(b, Param::kMg1Freq));
    block.Modulation().SetMg1Frequency(v, param ? param->GetNormalized(v) : 0.0);
}
// Restores MG1's free-running period from the kept frequency after host sync or frequency
// modulation is switched off.
void ReapplyMg1Freq(ParamApplier& applier, int b)
{
    applier.Reapply(Param::BlockParamIndex(b, Param::kMg1Freq), applier.Mg1Freq(b));
}
void Mg1FSrc(ParamApplier& applier, SynthBlock& block, int b, double v)
{
    if (Integer(v) == CvSource::kOff) ReapplyMg1Freq(applier, b);
    block.Modulation().SetMg1FreqSource(Cv(applier, v));
}
void Mg1MSrc(ParamApplier& applier, SynthBlock& block, int, double v)
{
    block.Modulation().SetMg1AmpSource(Cv(applier, v));
}
void Mg1Host(ParamApplier& applier, SynthBlock& block, int b, double v)
{
    block.Modulation().SetMg1HostDivision(Integer(v));
    if (Integer(v) == 0) ReapplyMg1Freq(applier, b);
}
void Mg2Freq(ParamApplier& applier, SynthBlock& block, int b, double v)
{
    applier.SetMg2Freq(b, v);
    block.Modulation().SetMg2Frequency(v);
}
void Mg2Host(ParamApplier& applier, SynthBlock& block, int b, double v)
{
    block.Modulation().SetMg2HostDivision(Integer(v));
    if (Integer(v) == 0) applier.Reapply(Param::BlockParamIndex(b, Param::kMg2Freq), applier.Mg2Freq(b));
}
void VcaFSrc(ParamApplier& applier, SynthBlock& block, int, double v)
{
    block.Modulation().SetVcaSource(Cv(applier, v));
}
void ChGate(ParamApplier& applier, SynthBlock& block, int, double v)
{
    block.Modulation().SetGateSource(Cv(applier, v));
}

// ---- Global rows ----
void TvcaSrc(ParamApplier& applier, double v)
{
    Mod(applier).SetTotalVcaSource(Cv(applier, v));
}
void ShFreq(ParamApplier& applier, double v)
{
    applier.SetShFreq(v);
    Mod(applier).SetShFrequency(v);
}
void ShSync(ParamApplier& applier, double v)
{
    Mod(applier).SampleHold().SetSync(Flag(v));
}
void ShIn(ParamApplier& applier, double v)
{
    Mod(applier).SetShInput(Cv(applier, v), Integer(v) == CvSource::kShRandom);
}
void ShHost(ParamApplier& applier, double v)
{
    Mod(applier).SampleHold().SetHostDivision(Integer(v));
    if (Integer(v) == 0) applier.Reapply(Param::kShFreq, applier.ShFreq());
}
void GegDly(ParamApplier& applier, double v)
{
    Mod(applier).Geg().SetDelay(v);
}
void GegAtk(ParamApplier& applier, double v)
{
    Mod(applier).Geg().SetAttack(v);
}
void GegRel(ParamApplier& applier, double v)
{
    Mod(applier).Geg().SetRelease(v);
}
void GegAuto(ParamApplier& applier, double v)
{
    Mod(applier).Geg().SetAutoRelease(Flag(v));
}
template <int Index> void GegSrc(ParamApplier& applier, double v)
{
    Mod(applier).SetGegTrigger(Index, TriggerFlag(applier, v));
}
void Vp1A(ParamApplier& applier, double v)
{
    Mod(applier).Vp1().SetA(v);
}
void Vp1B(ParamApplier& applier, double v)
{
    Mod(applier).Vp1().SetB(v);
}
void Vp1Src(ParamApplier& applier, double v)
{
    Mod(applier).Vp1().SetInput(Cv(applier, v));
}
void Vp2A(ParamApplier& applier, double v)
{
    Mod(applier).Vp2().SetA(v);
}
void Vp2B(ParamApplier& applier, double v)
{
    Mod(applier).Vp2().SetB(v);
}
void Vp2Sel(ParamApplier& applier, double v)
{
    Mod(applier).SetVp2OwnInput(Flag(v));
}
void Vp2Src(ParamApplier& applier, double v)
{
    Mod(applier).Vp2().SetInput(Cv(applier, v));
}
template <int Index> void ClkSrc(ParamApplier& applier, double v)
{
    Mod(applier).SetExternalClock(Index, Integer(v));
}
template <int Index> void TrgSrc(ParamApplier& applier, double v)
{
    applier.GetEngine().Inputs().SetTriggerController(Index, Integer(v));
}
template <int Index> void VcSrc(ParamApplier& applier, double v)
{
    applier.GetEngine().Inputs().SetVoltageController(Index, Integer(v));
}
template <int Index> void Lag(ParamApplier& applier, double v)
{
    Mod(applier).Lag(Index).SetCorner(LagFilter::CornerOfPosition(v));
}
template <int Index> void LagSrc(ParamApplier& applier, double v)
{
    Mod(applier).Lag(Index).SetInput(Cv(applier, v));
}
template <int Index> void Atn(ParamApplier& applier, double v)
{
    Mod(applier).Atn(Index).SetFactor(v);
}
template <int Index> void AtnSrc(ParamApplier& applier, double v)
{
    Mod(applier).Atn(Index).SetInput(Cv(applier, v));
}

} // namespace

void AddModulationRows(ParamRows& rows)
{
    using namespace Param;
    rows.block[kFmMod] = FmMod;
    rows.block[kFmRev] = FmRev;
    rows.block[kFmMg1] = FmMg1;
    rows.block[kFmGeg] = FmGeg;
    rows.block[kFmSrc] = FmSrc;
    rows.block[kPwmSrc] = PwmSrc;
    rows.block[kFcMod] = FcMod;
    rows.block[kFcMg1] = FcMg1;
    rows.block[kFcGeg] = FcGeg;
    rows.block[kFcSrc] = FcSrc;
    rows.block[kEmASrc] = EmASrc;
    rows.block[kEmRSrc] = EmRSrc;
    rows.block[kRsMod] = RsMod;
    rows.block[kRfcSrc] = RfcSrc;
    rows.block[kMg1Wave] = Mg1Wave;
    rows.block[kMg1Freq] = Mg1Freq;
    rows.block[kMg1FSrc] = Mg1FSrc;
    rows.block[kMg1MSrc] = Mg1MSrc;
    rows.block[kMg1Host] = Mg1Host;
    rows.block[kMg2Freq] = Mg2Freq;
    rows.block[kMg2Host] = Mg2Host;
    rows.block[kVcaFSrc] = VcaFSrc;
    rows.block[kChGate] = ChGate;

    rows.Global(kTvcaSrc) = TvcaSrc;
    rows.Global(kShFreq) = ShFreq;
    rows.Global(kShSync) = ShSync;
    rows.Global(kShIn) = ShIn;
    rows.Global(kShHost) = ShHost;
    rows.Global(kGegDly) = GegDly;
    rows.Global(kGegAtk) = GegAtk;
    rows.Global(kGegRel) = GegRel;
    rows.Global(kGegAuto) = GegAuto;
    rows.Global(kGegSrc1) = GegSrc<0>;
    rows.Global(kGegSrc2) = GegSrc<1>;
    rows.Global(kVp1A) = Vp1A;
    rows.Global(kVp1B) = Vp1B;
    rows.Global(kVp1Src) = Vp1Src;
    rows.Global(kVp2A) = Vp2A;
    rows.Global(kVp2B) = Vp2B;
    rows.Global(kVp2Sel) = Vp2Sel;
    rows.Global(kVp2Src) = Vp2Src;
    rows.Global(kClk1Src) = ClkSrc<0>;
    rows.Global(kClk2Src) = ClkSrc<1>;
    rows.Global(kClk3Src) = ClkSrc<2>;
    rows.Global(kClk4Src) = ClkSrc<3>;
    rows.Global(kTrg1Src) = TrgSrc<0>;
    rows.Global(kTrg2Src) = TrgSrc<1>;
    rows.Global(kVc1Src) = VcSrc<0>;
    rows.Global(kVc2Src) = VcSrc<1>;
    rows.Global(kVc3Src) = VcSrc<2>;
    rows.Global(kVc4Src) = VcSrc<3>;
    rows.Global(kVc5Src) = VcSrc<4>;
    rows.Global(kVc6Src) = VcSrc<5>;
    rows.Global(kVc7Src) = VcSrc<6>;
    rows.Global(kVc8Src) = VcSrc<7>;
    rows.Global(kLag1) = Lag<0>;
    rows.Global(kLag1Src) = LagSrc<0>;
    rows.Global(kLag2) = Lag<1>;
    rows.Global(kLag2Src) = LagSrc<1>;
    rows.Global(kAtn1) = Atn<0>;
    rows.Global(kAtn1Src) = AtnSrc<0>;
    rows.Global(kAtn2) = Atn<1>;
    rows.Global(kAtn2Src) = AtnSrc<1>;
    rows.Global(kAtn3) = Atn<2>;
    rows.Global(kAtn3Src) = AtnSrc<2>;
}

} // namespace zr
