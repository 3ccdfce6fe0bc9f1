#include "instrument/ParamApplier.h"
#include "instrument/ParamRows.h"

#include <utility>

namespace zr
{

namespace
{
using row::Flag;
using row::Integer;

// Block rows. Pitch values arrive in cents; the bank converts them to pitch units.
template <int NoteName> void Tune(ParamApplier&, SynthBlock& block, int, double v)
{
    block.SetTune(NoteName, v);
}
void Waveform(ParamApplier&, SynthBlock& block, int, double v)
{
    block.SetWaveform(Integer(v));
}
void PwmInt(ParamApplier&, SynthBlock& block, int, double v)
{
    block.SetPwmInt(v);
}
void Fine(ParamApplier&, SynthBlock& block, int, double v)
{
    block.SetFine(v);
}
void Coarse(ParamApplier&, SynthBlock& block, int, double v)
{
    block.SetCoarse(v);
}
void Octave(ParamApplier&, SynthBlock& block, int, double v)
{
    block.SetOctave(Integer(v));
}
void Cutoff(ParamApplier&, SynthBlock& block, int, double v)
{
    block.SetCutoff(v);
}
void RsInt(ParamApplier&, SynthBlock& block, int, double v)
{
    block.SetResonatorIntensity(v);
}
template <int Resonator> void RsFreq(ParamApplier&, SynthBlock& block, int, double v)
{
    block.SetResonatorFrequency(Resonator, v);
}
void AmInt(ParamApplier&, SynthBlock& block, int, double v)
{
    block.SetAmDepth(v);
}
void AmMod(ParamApplier&, SynthBlock& block, int, double v)
{
    block.SetAmOn(Flag(v));
}
void Volume(ParamApplier&, SynthBlock& block, int, double v)
{
    block.SetVolume(v);
}
void Pan(ParamApplier&, SynthBlock& block, int, double v)
{
    block.SetPan(v);
}
void ChEnable(ParamApplier&, SynthBlock& block, int, double v)
{
    block.SetChannelEnable(Flag(v));
}

// Voice rows.
void Peak(Voice& voice, double v)
{
    voice.SetPeak(v);
}
void FcBal(Voice& voice, double v)
{
    voice.SetFcBal(v);
}
void Expand(Voice& voice, double v)
{
    voice.SetExpand(v);
}
void EmAtk(Voice& voice, double v)
{
    voice.SetEmAttack(v);
}
void EmDcy(Voice& voice, double v)
{
    voice.SetEmDecay(v);
}
void EmSus(Voice& voice, double v)
{
    voice.SetEmSustain(v);
}
void EmRel(Voice& voice, double v)
{
    voice.SetEmRelease(Integer(v));
}
void EmHold(Voice& voice, double v)
{
    voice.SetEmHold(Flag(v));
}
void KbdBal(Voice& voice, double v)
{
    voice.SetKbdBal(v);
}
void OverRel(Voice& voice, double v)
{
    voice.SetOverRelease(Flag(v));
}
void EmORel(Voice& voice, double v)
{
    voice.SetEmOverReleaseTime(v);
}

// Global rows.
void Final(ParamApplier& applier, double v)
{
    applier.GetEngine().SetFinalGain(v);
}
void KbdTrig(ParamApplier& applier, double v)
{
    applier.GetEngine().SetKbdTrig(Integer(v));
}
void PbRange(ParamApplier& applier, double v)
{
    applier.GetEngine().SetPitchBendRange(v);
}
void UseHold(ParamApplier& applier, double v)
{
    applier.GetEngine().SetUseHold(Flag(v));
}

template <int... NoteNames> void AddTuneRows(ParamRows& rows, std::integer_sequence<int, NoteNames...>)
{
    ((rows.block[Param::kTuneC + NoteNames] = &Tune<NoteNames>), ...);
}
} // namespace

void AddSoundRows(ParamRows& rows)
{
    using namespace Param;
    AddTuneRows(rows, std::make_integer_sequence<int, OscillatorBank::kNoteNames>());
    rows.block[kWaveform] = &Waveform;
    rows.block[kPwmInt] = &PwmInt;
    rows.block[kFine] = &Fine;
    rows.block[kCoarse] = &Coarse;
    rows.block[kOctave] = &Octave;
    rows.block[kCutoff] = &Cutoff;
    rows.block[kRsInt] = &RsInt;
    rows.block[kRsFreq1] = &RsFreq<0>;
    rows.block[kRsFreq2] = &RsFreq<1>;
    rows.block[kRsFreq3] = &RsFreq<2>;
    rows.block[kAmInt] = &AmInt;
    rows.block[kAmMod] = &AmMod;
    rows.block[kVolume] = &Volume;
    rows.block[kPan] = &Pan;
    rows.block[kChEnable] = &ChEnable;

    rows.voice[kPeak] = &Peak;
    rows.voice[kFcBal] = &FcBal;
    rows.voice[kExpand] = &Expand;
    rows.voice[kEmAtk] = &EmAtk;
    rows.voice[kEmDcy] = &EmDcy;
    rows.voice[kEmSus] = &EmSus;
    rows.voice[kEmRel] = &EmRel;
    rows.voice[kEmHold] = &EmHold;
    rows.voice[kKbdBal] = &KbdBal;
    rows.voice[kOverRel] = &OverRel;
    rows.voice[kEmORel] = &EmORel;

    rows.Global(kFinal) = &Final;
    rows.Global(kKbdTrig) = &KbdTrig;
    rows.Global(kPbRange) = &PbRange;
    rows.Global(kUseHold) = &UseHold;
}

} // namespace zr
