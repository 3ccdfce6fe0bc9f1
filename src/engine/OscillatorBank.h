#pragma once

#include "engine/IncrementTable.h"
#include "engine/WaveTables.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace zr
{

// A voice's own oscillator state: its phases within one control tick (main and, for pulses, the
// second one) and the wave-table level it reads, which lasts from the voice's start on. While the
// level changes under a moving pitch, the previous level fades out over a few milliseconds.
struct VoicePhase
{
    static constexpr int kNoLevel = -1; // before the voice's first read: it takes its pitch's level

    std::uint32_t main = 0;
    std::uint32_t pulse = 0;
    int level = kNoLevel;
    int fadingLevel = 0; // the level fading out, while fadeLeft > 0
    int fadeLeft = 0;    // samples left of the fade
    int entry = 0;       // increment-table entry of the last sample read
    int resting = 0;     // samples read at that entry since it last changed (up to the rest time)

    // A new key: the next read takes its pitch's level at once, without a fade.
    void ForgetLevel()
    {
        level = kNoLevel;
        fadeLeft = 0;
        resting = 0;
    }
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

    // Takes the block's pitch-offset buffer and zeroes phases and increments; the level fade and
    // the rest time follow the rate (fs >= 1 only).
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
    // tick was split. While the pitch moves, the voice keeps its table level as long as the pitch
    // lies less than a semitone below the level's range (NextLevel); once the pitch has rested for
    // kRestSeconds, the next chunk returns to the pitch's own level. A level change fades the
    // previous level out.
    void RenderNoteSignal(double* out, int m, int p, int octaveNumber, int noteName, VoicePhase& phase,
                          int stride = 1) const;

    // A voice's read over a chunk whose pitch offset does not move: one increment and one table for
    // every sample. Sets the voice's phase at p = 0 as RenderNoteSignal does; the caller then adds
    // the increment to phase.main (and phase.pulse for pulses) per sample, masks to 28 bits and
    // reads table[phase >> WaveTables::kIndexShift] (minus the pulse phase's reading for pulses).
    // A silent voice (key below the footage's range) gets increment 0 and kSilentTable; its phase
    // must then be left alone. When the voice's level changes or fades in this chunk, the read is
    // not steady (table nullptr) and the voice's state is left alone: the chunk must then be
    // rendered by RenderNoteSignal.
    static constexpr double kSilentTable = 0.0; // a table of one 0, read at index 0 only
    struct SteadyRead
    {
        std::uint32_t increment;
        const double* table;
        bool silent;
        bool Steady() const { return table != nullptr; }
    };
    SteadyRead SteadyChunk(int m, int p, int octaveNumber, int noteName, VoicePhase& phase) const;
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
    // The level a voice reading `current` (VoicePhase::kNoLevel: none yet) takes for an increment.
    // A rising pitch moves to fewer harmonics as soon as TableLevel does, so nothing aliases; a
    // falling one keeps the level (and its fewer harmonics) until the increment lies more than
    // about a semitone below the level's range. A vibrato around a level's lower edge therefore
    // stays on one level instead of switching twice a cycle. A voice whose pitch has not moved since
    // its key started reads TableLevel.
    static int NextLevel(std::uint32_t increment, int current);

private:
    static constexpr double kPwmDepthPerPercent = 0.009;
    static constexpr double kPwmCenter = 0.5;
    static constexpr int kFirstLevelIncrementBits = 17; // increments below 2^17 use level 0
    static constexpr int kHoldMarginShift = 4;          // kept level: increment + 1/16 (1.05 semitones)
    static constexpr double kFadeSeconds = 0.0015;      // a level change fades over 1.5 ms
    static constexpr double kRestSeconds = 0.1;         // a pitch this long at rest is steady again

    // A voice's pitch base (increment table entry without the pitch offset), or kSilent for a key
    // below the footage's range; sets the voice's phase from its master at p = 0.
    static constexpr int kSilent = -1;
    int BeginVoice(int p, int octaveNumber, int noteName, VoicePhase& phase) const;
    const double* LevelTable(int level) const
    {
        return triangleFlag_ ? waves_.Triangle(level) : waves_.Saw(level);
    }
    // The level at a chunk's first sample: the pitch's own level once it has rested for
    // restSamples_ samples, else NextLevel.
    int FirstLevel(std::uint32_t increment, int current, int resting) const;
    // Moves the voice to `level`, fading the previous one out (none at the voice's first read).
    void ChangeLevel(VoicePhase& phase, int level) const;
    // Reads m samples from pitch base `base` plus the pitch offsets fm[0 .. m) (none: 0).
    template <bool kPulse>
    void ReadTable(double* out, int m, int stride, int base, const int* fm, VoicePhase& phase) const;

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
    int fadeSamples_ = 1;
    double fadeStep_ = 1.0; // 1 / fadeSamples_
    int restSamples_ = 1;
};

} // namespace zr
