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
constexpr double kMaxFadeSamples = 1 << 16; // bound the fade and the rest for any sample rate
constexpr double kMaxRestSamples = 1 << 20;
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
    fadeSamples_ = static_cast<int>(std::clamp(fs * kFadeSeconds, 1.0, kMaxFadeSamples));
    fadeStep_ = 1.0 / fadeSamples_;
    restSamples_ = static_cast<int>(std::clamp(fs * kRestSeconds, 1.0, kMaxRestSamples));
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
    if (pulseFlag_)
        ReadTable<true>(out, m, stride, base, fm, phase);
    else
        ReadTable<false>(out, m, stride, base, fm, phase);
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

OscillatorBank::SteadyRead OscillatorBank::SteadyChunk(int m, int p, int octaveNumber, int noteName,
                                                       VoicePhase& phase) const
{
    const int base = BeginVoice(p, octaveNumber, noteName, phase);
    if (base == kSilent) return {0, &kSilentTable, true};
    // The same level choice and state as ReadTable makes for a chunk at one pitch.
    const int entry = base + (fmBuffer_ ? fmBuffer_[p] : 0);
    const std::uint32_t r = increments_.At(entry);
    const int resting = entry == phase.entry ? phase.resting : 0;
    const int level = FirstLevel(r, phase.level, resting);
    if (phase.fadeLeft > 0 || (phase.level != VoicePhase::kNoLevel && level != phase.level))
        return {r, nullptr, false};
    phase.level = level;
    phase.entry = entry;
    phase.resting = std::min(resting + m, restSamples_);
    return {r, LevelTable(level), false};
}

int OscillatorBank::FirstLevel(std::uint32_t increment, int current, int resting) const
{
    return resting >= restSamples_ ? TableLevel(increment) : NextLevel(increment, current);
}

void OscillatorBank::ChangeLevel(VoicePhase& phase, int level) const
{
    if (level == phase.level) return;
    if (phase.level != VoicePhase::kNoLevel)
    {
        phase.fadingLevel = phase.level;
        phase.fadeLeft = fadeSamples_;
    }
    phase.level = level;
}

template <bool kPulse>
void OscillatorBank::ReadTable(double* out, int m, int stride, int base, const int* fm,
                               VoicePhase& phase) const
{
    // A moving pitch offset usually holds its value for several samples (a vibrato moves by a
    // fraction of a pitch unit per sample): the increment is looked up again only when it changes.
    int entry = base + (fm ? fm[0] : 0);
    std::uint32_t r = increments_.At(entry);
    int resting = entry == phase.entry ? phase.resting : 0;
    ChangeLevel(phase, FirstLevel(r, phase.level, resting));
    const double* table = LevelTable(phase.level);
    const double* fading = LevelTable(phase.fadingLevel);
    std::uint32_t f = phase.main;
    std::uint32_t g = phase.pulse;
    for (int j = 0; j < m; ++j)
    {
        if (fm && base + fm[j] != entry)
        {
            entry = base + fm[j];
            resting = 0;
            r = increments_.At(entry);
            const int level = NextLevel(r, phase.level);
            if (level != phase.level)
            {
                ChangeLevel(phase, level);
                table = LevelTable(phase.level);
                fading = LevelTable(phase.fadingLevel);
            }
        }
        f = (f + r) & pitch::kPhaseMask;
        if constexpr (kPulse) g = (g + r) & pitch::kPhaseMask;
        double x = table[f >> WaveTables::kIndexShift];
        if constexpr (kPulse) x -= table[g >> WaveTables::kIndexShift];
        if (phase.fadeLeft > 0)
        {
            double previous = fading[f >> WaveTables::kIndexShift];
            if constexpr (kPulse) previous -= fading[g >> WaveTables::kIndexShift];
            x += (previous - x) * (phase.fadeLeft * fadeStep_);
            --phase.fadeLeft;
        }
        out[j * stride] = x;
        ++resting;
    }
    phase.main = f;
    phase.pulse = g;
    phase.entry = entry;
    phase.resting = std::min(resting, restSamples_);
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

int OscillatorBank::NextLevel(std::uint32_t increment, int current)
{
    const int level = TableLevel(increment);
    if (current == VoicePhase::kNoLevel || level >= current) return level;
    // Below the top level the increment is under 2^26, so the margin cannot overflow.
    const int kept = TableLevel(increment + (increment >> kHoldMarginShift));
    return std::max(level, std::min(current, kept));
}

} // namespace zr
