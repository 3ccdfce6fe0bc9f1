#pragma once

#include "engine/IncrementTable.h"
#include "engine/WaveTables.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace zr
{

// A voice's own oscillator phases within one control tick (main and, for pulses, the second one).
struct VoicePhase
{
    std::uint32_t main = 0;
    std::uint32_t pulse = 0;
};

// The twelve master oscillators of a block (C0 .. B0), one per note name, with the block's
// waveform, footage and tuning. Voices derive their signal from the master of their note name by
// octave multiplication of its phase. All operations run on the audio thread except the setters,
// which the parameter handler calls under the instance lock.
class OscillatorBank
{
public:
    static constexpr int kNoteNames = 12;

    enum Waveform
    {
        kTriangle,
        kSawtooth,
        kSquare,
        kRect,
        kPulse,
        kPwm,
        kWaveformCount
    };

    enum Octave
    {
        kFootage16,
        kFootage8,
        kFootage4,
        kFootage2
    };

    explicit OscillatorBank(const IncrementTable& increments);

    // Takes the block's pitch-offset buffer and zeroes phases and increments (fs >= 1 only).
    void SetUp(double fs, const int* fmBuffer);

    void SetTune(int noteName, double cents);
    void SetFine(double cents);
    void SetCoarse(double cents);
    void SetOctave(int octave) { octave_ = octave; }
    void SetWaveform(int waveform);
    void SetPwmDepth(double percent) { pwmDepth_ = kPwmDepthPerPercent * percent; }

    // Once per tick, before Retune: "PWM" waveform width from a control value d in -1..1.
    void UpdatePwm(double d);
    // Once per tick: master increments from the tuning and the tick's first pitch offset.
    void Retune();
    // After the voices rendered m samples.
    void Advance(int m);

    // Writes m samples of the signal of a voice with the given octave number and note name at tick
    // position p to out[0], out[stride] ... At p = 0 the voice's phase is taken from its master;
    // later chunks of the same tick continue from `phase`, so the result does not depend on how the
    // tick was split. A chunk whose pitch offset does not move reads one table at one increment.
    void RenderNoteSignal(double* out, int m, int p, int octaveNumber, int noteName, VoicePhase& phase,
                          int stride = 1) const;

    // A voice's read over a chunk whose pitch offset does not move: one increment and one table for
    // every sample. Sets the voice's phase at p = 0 as RenderNoteSignal does; the caller then adds
    // the increment to phase.main (and phase.pulse for pulses) per sample, masks to 28 bits and
    // reads table[phase >> WaveTables::kIndexShift] (minus the pulse phase's reading for pulses).
    // A silent voice (key below the footage's range) gets increment 0 and kSilentTable; its phase
    // must then be left alone.
    static constexpr double kSilentTable = 0.0; // a table of one 0, read at index 0 only
    struct SteadyRead
    {
        std::uint32_t increment;
        const double* table;
        bool silent;
    };
    SteadyRead SteadyChunk(int p, int octaveNumber, int noteName, VoicePhase& phase) const;
    // The pitch offset is the same at tick positions p .. p + m - 1.
    bool SteadyPitch(int m, int p) const
    {
        const int* fm = fmBuffer_ ? fmBuffer_ + p : nullptr;
        return !fm || m < 1 || std::equal(fm + 1, fm + m, fm);
    }
    bool PulseRead() const { return pulseFlag_; }

    int NoteOffset(int noteName) const { return noteOffset_[noteName]; }
    std::uint32_t Phase(int noteName) const { return phase_[noteName]; }
    std::uint32_t Increment(int noteName) const { return increment_[noteName]; }
    double PulseWidth() const { return pulseWidth_; }
    int Waveform() const { return waveform_; }
    int Octave() const { return octave_; }

    // Wave-table level for a phase increment: the level whose top harmonic stays below half the
    // sample rate (0 below 2^17, one level per doubling, at most the pure sine).
    static int TableLevel(std::uint32_t increment);

private:
    static constexpr double kPwmDepthPerPercent = 0.009;
    static constexpr double kPwmCenter = 0.5;
    static constexpr int kFirstLevelIncrementBits = 17; // increments below 2^17 use level 0

    // A voice's pitch base (increment table entry without the pitch offset), or kSilent for a key
    // below the footage's range; sets the voice's phase from its master at p = 0.
    static constexpr int kSilent = -1;
    int BeginVoice(int p, int octaveNumber, int noteName, VoicePhase& phase) const;
    // The phase increment of one sample and the table it reads.
    struct TableStep
    {
        std::uint32_t increment;
        const double* table;
    };
    TableStep StepAt(int entry) const;
    // Reads m samples; stepAt(j) gives sample j's increment and table.
    template <bool kPulse, class StepAtSample>
    void ReadTable(double* out, int m, int stride, VoicePhase& phase, StepAtSample stepAt) const;

    void RecomputeNoteOffsets();
    int OctaveShift(int octaveNumber) const;

    const IncrementTable& increments_;
    const WaveTables& waves_;
    const int* fmBuffer_ = nullptr;

    int waveform_ = kSawtooth;
    int octave_ = kFootage8;
    int coarse_ = 0;
    int fine_ = 0;
    std::array<int, kNoteNames> tune_{};
    std::array<int, kNoteNames> noteOffset_{};
    std::array<std::uint32_t, kNoteNames> phase_{};
    std::array<std::uint32_t, kNoteNames> increment_{};
    bool triangleFlag_ = false;
    bool pulseFlag_ = false;
    double pulseWidth_ = 0.0;
    double pwmDepth_ = 0.0;
};

} // namespace zr
