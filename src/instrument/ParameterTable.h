#pragma once

namespace zr
{

class ParamStore;

// Parameter numbers of the instrument. Indices 0 .. 182 are three runs of kNumBlockParams, one per
// block (A, B, C); block b's parameter j has index BlockParamIndex(b, j). Indices 183 .. 228 are
// global.
namespace Param
{
constexpr int kNumBlocks = 3;

// Position j of a parameter inside its block's run.
enum Block : int
{
    kTuneC = 0,
    kTuneCSharp,
    kTuneD,
    kTuneDSharp,
    kTuneE,
    kTuneF,
    kTuneFSharp,
    kTuneG,
    kTuneGSharp,
    kTuneA,
    kTuneASharp,
    kTuneB,
    kWaveform, // 12
    kPwmInt,
    kFine,
    kCoarse,
    kOctave,
    kFmMod,
    kFmRev,
    kFmMg1,
    kFmGeg, // 20
    kFmSrc,
    kPwmSrc,
    kCutoff,
    kPeak,
    kFcBal,
    kExpand,
    kFcMod,
    kFcMg1,
    kFcGeg,
    kFcSrc, // 30
    kEmAtk,
    kEmDcy,
    kEmSus,
    kEmRel,
    kEmHold,
    kEmASrc,
    kEmRSrc,
    kRsInt,
    kRsFreq1,
    kRsFreq2, // 40
    kRsFreq3,
    kRsMod,
    kRfcSrc,
    kAmInt,
    kAmMod,
    kMg1Wave,
    kMg1Freq,
    kMg1FSrc,
    kMg1MSrc,
    kMg1Host, // 50
    kMg2Freq,
    kMg2Host,
    kKbdBal,
    kVolume,
    kPan,
    kVcaFSrc,
    kChEnable,
    kChGate,
    kOverRel,
    kEmORel, // 60
    kNumBlockParams
};

// Index of a global parameter.
enum Global : int
{
    kFirstGlobal = kNumBlocks * kNumBlockParams, // 183
    kFinal = kFirstGlobal,
    kTvcaSrc,
    kKbdTrig,
    kPbRange,
    kShFreq,
    kShSync,
    kShIn,
    kShHost, // 190
    kGegDly,
    kGegAtk,
    kGegRel,
    kGegAuto,
    kGegSrc1,
    kGegSrc2,
    kVp1A,
    kVp1B,
    kVp1Src,
    kVp2A, // 200
    kVp2B,
    kVp2Sel,
    kVp2Src,
    kClk1Src,
    kClk2Src,
    kClk3Src,
    kClk4Src,
    kTrg1Src,
    kTrg2Src,
    kVc1Src, // 210
    kVc2Src,
    kVc3Src,
    kVc4Src,
    kVc5Src,
    kVc6Src,
    kVc7Src,
    kVc8Src,
    kUseHold,
    kLag1,
    kLag1Src, // 220
    kLag2,
    kLag2Src,
    kAtn1,
    kAtn1Src,
    kAtn2,
    kAtn2Src,
    kAtn3,
    kAtn3Src, // 228
    kNumParams
};

constexpr int BlockParamIndex(int block, int position)
{
    return kNumBlockParams * block + position;
}
constexpr bool IsBlockParam(int index)
{
    return index >= 0 && index < kFirstGlobal;
}
constexpr int BlockOf(int index)
{
    return index / kNumBlockParams;
}
constexpr int PositionInBlock(int index)
{
    return index % kNumBlockParams;
}

static_assert(kNumParams == 229);
static_assert(BlockParamIndex(2, kEmORel) == 182);
} // namespace Param

// Defines all parameters of the instrument, in index order, on plug's parameter records (which
// must number at least Param::kNumParams; records beyond the table are left alone).
void DefineParameterTable(ParamStore& plug);

} // namespace zr
