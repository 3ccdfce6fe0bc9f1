#include "engine/OscillatorBank.h"

#include "engine/PitchTables.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace zr
{

namespace
{
constexpr int kSemitonesPerOctave = 12;
constexpr int kMaxOctaveShift = 11; // key 127 at 2'
constexpr double kPwmSwing = 0.25;
constexpr std::array<double, OscillatorBank::kWaveformCount> kPulseWidths = {0.0, 0.0, 0.5, 0.3, 0.1, 0.5};
} // namespace

OscillatorBank::OscillatorBank(const IncrementTable& increments)
    : increments_(increments), waves_(WaveTables::Instance())
{
}

void OscillatorBank::SetUp(double fs, const int* fmBuffer)
{
    if (!(fs >= 1.0)) return;
    fmBuffer_ = fmBuffer;
    phase_.fill(0);
    increment_.fill(0);
}

void OscillatorBank::SetTune(int noteName, double cents)
{
    if (noteName < 0 || noteName >= kNoteNames) return;
    tune_[noteName] = pitch::CentsToUnits(cents);
    RecomputeNoteOffsets();
}

void OscillatorBank::SetFine(double cents)
{
    fine_ = pitch::CentsToUnits(cents);
    RecomputeNoteOffsets();
}

void OscillatorBank::SetCoarse(double cents)
{
    coarse_ = pitch::CentsToUnits(cents);
    RecomputeNoteOffsets();
}

void OscillatorBank::SetWaveform(int waveform)
{
    waveform_ = std::clamp(waveform, 0, kWaveformCount - 1);
    triangleFlag_ = waveform_ == kTriangle;
    pulseFlag_ = waveform_ >= kSquare;
    pulseWidth_ = kPulseWidths[waveform_];
}

void OscillatorBank::UpdatePwm(double d)
{
    if (waveform_ == kPwm) pulseWidth_ = kPwmCenter + (kPwmSwing * d + kPwmSwing) * pwmDepth_;
}

void OscillatorBank::Retune()
{
    const int fm = fmBuffer_ ? fmBuffer_[0] : 0;
    for (int k = 0; k < kNoteNames; ++k)
        increment_[k] =
            increments_.At(IncrementTable::kMasterBase + fm + noteOffset_[k] + pitch::kUnitsPerSemitone * k);
}

void OscillatorBank::Advance(int m)
{
    for (int k = 0; k < kNoteNames; ++k)
        phase_[k] = (phase_[k] + static_cast<std::uint32_t>(m) * increment_[k]) & pitch::kPhaseMask;
}

void OscillatorBank::RenderNoteSignal(double* out, int m, int p, int octaveNumber, int noteName,
                                      VoicePhase& phase, int stride) const
{
    const int base = BeginVoice(p, octaveNumber, noteName, phase);
    if (base == kSilent)
    {
        for (int j = 0; j < m; ++j)
            out[j * stride] = 0.0;
        return;
    }
    if (m < 1) return;
    const int* fm = fmBuffer_ ? fmBuffer_ + p : nullptr;
    if (!fm || std::equal(fm + 1, fm + m, fm))
    {
        const TableStep step = StepAt(base + (fm ? fm[0] : 0));
        const auto steady = [step](int) { return step; };
        if (pulseFlag_)
            ReadTable<true>(out, m, stride, phase, steady);
        else
            ReadTable<false>(out, m, stride, phase, steady);
        return;
    }
    // A moving pitch offset usually holds its value for several samples (a vibrato moves by a
    // fraction of a pitch unit per sample): the step is looked up again only when it changes.
    int lastEntry = base + fm[0];
    TableStep step = StepAt(lastEntry);
    const auto moving = [this, base, fm, &lastEntry, &step](int j)
    {
        if (base + fm[j] != lastEntry)
        {
            lastEntry = base + fm[j];
            step = StepAt(lastEntry);
        }
        return step;
    };
    if (pulseFlag_)
        ReadTable<true>(out, m, stride, phase, moving);
    else
        ReadTable<false>(out, m, stride, phase, moving);
}

int OscillatorBank::BeginVoice(int p, int octaveNumber, int noteName, VoicePhase& phase) const
{
    const int e = OctaveShift(octaveNumber);
    if (e < 0 || e > kMaxOctaveShift || noteName < 0 || noteName >= kNoteNames) return kSilent;
    if (p == 0)
    {
        phase.main = (phase_[noteName] << e) & pitch::kPhaseMask;
        const auto offset = static_cast<std::uint64_t>(pulseWidth_ * pitch::kPhaseOne);
        phase.pulse = static_cast<std::uint32_t>((offset + phase.main) & pitch::kPhaseMask);
    }
    return pitch::kUnitsPerSemitone * (noteName + kSemitonesPerOctave * e) + noteOffset_[noteName] +
           IncrementTable::kMasterBase;
}

OscillatorBank::SteadyRead OscillatorBank::SteadyChunk(int p, int octaveNumber, int noteName,
                                                       VoicePhase& phase) const
{
    const int base = BeginVoice(p, octaveNumber, noteName, phase);
    if (base == kSilent) return {0, &kSilentTable, true};
    const TableStep step = StepAt(base + (fmBuffer_ ? fmBuffer_[p] : 0));
    return {step.increment, step.table, false};
}

OscillatorBank::TableStep OscillatorBank::StepAt(int entry) const
{
    const std::uint32_t r = increments_.At(entry);
    const int level = TableLevel(r);
    return {r, triangleFlag_ ? waves_.Triangle(level) : waves_.Saw(level)};
}

template <bool kPulse, class StepAtSample>
void OscillatorBank::ReadTable(double* out, int m, int stride, VoicePhase& phase, StepAtSample stepAt) const
{
    std::uint32_t f = phase.main;
    std::uint32_t g = phase.pulse;
    for (int j = 0; j < m; ++j)
    {
        const TableStep step = stepAt(j);
        f = (f + step.increment) & pitch::kPhaseMask;
        double x = step.table[f >> WaveTables::kIndexShift];
        if constexpr (kPulse)
        {
            g = (g + step.increment) & pitch::kPhaseMask;
            x -= step.table[g >> WaveTables::kIndexShift];
        }
        out[j * stride] = x;
    }
    phase.main = f;
    phase.pulse = g;
}

void OscillatorBank::RecomputeNoteOffsets()
{
    for (int k = 0; k < kNoteNames; ++k)
        noteOffset_[k] = tune_[k] + coarse_ + fine_;
}

int OscillatorBank::OctaveShift(int octaveNumber) const
{
    switch (octave_)
    {
    case kFootage16:
        return octaveNumber - 2;
    case kFootage4:
        return octaveNumber;
    case kFootage2:
        return octaveNumber + 1;
    default:
        return octaveNumber - 1;
    }
}

int OscillatorBank::TableLevel(std::uint32_t increment)
{
    if (increment < (1u << kFirstLevelIncrementBits)) return 0;
    const int log2 = std::bit_width(increment) - 1;
    return std::min(log2 - (kFirstLevelIncrementBits - 1), WaveTables::kLevels - 1);
}

} // namespace zr
