#pragma once

#include "engine/CutoffTable.h"
#include "engine/IncrementTable.h"
#include "engine/OscillatorBank.h"
#include "engine/Resonator.h"
#include "engine/Voice.h"
#include "engine/VoiceGroup.h"
#include "modulation/BlockModulation.h"

#include <array>
#include <span>
#include <vector>

namespace zr
{

// One of the three synthesizer blocks: 12 masters, 64 voices, three resonators, AM and the channel
// output with volume and pan. The control tick writes the per-sample buffers of a tick (pitch
// offset, cutoff modulation, AM, channel VCA) and calls TickUpdate/ChannelUpdate; the audio
// routine calls Render. The setters are the block parameter step (instance lock held).
class SynthBlock
{
public:
    static constexpr int kVoices = 64;
    static constexpr int kResonators = 3;
    static constexpr double kGlideStart = 17281.0; // glide position before the first "Cutoff"
    static constexpr int kGlideTicks = 100;
    static constexpr int kCutoffIndexScale = 17280; // glide position 1 is the top of the cutoff table
    static constexpr std::array<double, kResonators> kResonatorDefaults = {0.2, 0.5, 0.8};

    SynthBlock(const IncrementTable& increments, const CutoffTable& cutoffs, const HostClock& clock);
    // Voices point at the block's own bank, so a block is never copied.
    SynthBlock(const SynthBlock&) = delete;
    SynthBlock& operator=(const SynthBlock&) = delete;

    // Set-up thread: sizes the buffers for samplesPerTick, resets bank phases, voices and
    // resonators, and re-applies the block's resonator settings and MG1's frequency.
    void SetUp(double fs, int samplesPerTick);

    // Per-tick buffers, samplesPerTick long.
    std::span<int> FmBuffer() { return fmBuffer_; }
    std::span<int> CutoffModBuffer() { return cutoffModBuffer_; }
    std::span<double> AmBuffer() { return amBuffer_; }
    std::span<const double> ChannelVca() const { return channelVca_; }

    // Control tick at position 0, after position 0 of the buffers is written: PWM update with d,
    // retune, cutoff glide, every voice's per-tick update, and the resonator update with l.
    void TickUpdate(double pwmInput, double resonatorControl);
    // Control tick at every position t: channel gain from the gate and the VCA level.
    void ChannelUpdate(int t, bool gateOpen, double vcaGain);
    bool ResonatorsOn() const { return resonatorsOn_; }
    // Set-up thread: the voice kernel (the widest this processor runs unless set).
    void SetVoiceKernel(const VoiceKernel& kernel) { group_.SetKernel(kernel); }

    // Adds m samples at tick position p into the stereo mix.
    void Render(double* mixLeft, double* mixRight, int m, int p);

    // Keyboard assignment.
    void Assign(int note, int serial);
    void ReleaseKey(int note);
    void Pedal(bool down);
    void ReleaseAll();

    // Block parameter step.
    void SetTune(int noteName, double cents) { bank_.SetTune(noteName, cents); }
    void SetWaveform(int waveform) { bank_.SetWaveform(waveform); }
    void SetPwmInt(double percent) { bank_.SetPwmDepth(percent); }
    void SetFine(double cents) { bank_.SetFine(cents); }
    void SetCoarse(double cents) { bank_.SetCoarse(cents); }
    void SetOctave(int octave) { bank_.SetOctave(octave); }
    // Starts the 100-tick glide of the block cutoff towards √value.
    void SetCutoff(double value);
    // Ends a running cutoff glide at its target at once.
    void LandCutoffGlide();
    // True while any of the block's voices sounds.
    bool AnyVoiceActive() const;
    void SetResonatorIntensity(double value);
    void SetResonatorFrequency(int index, double value);
    void SetAmDepth(double value) { amDepth_ = value; }
    void SetAmOn(bool on) { amOn_ = on; }
    void SetVolume(double value) { volume2_ = 2.0 * value; }
    void SetPan(double value) { pan_ = value; }
    void SetChannelEnable(bool on) { channelEnabled_ = on; }

    // MG1, MG2 and the block's patch selections (block parameter step and control tick).
    BlockModulation& Modulation() { return modulation_; }
    const BlockModulation& Modulation() const { return modulation_; }

    // Voice parameter step for all voices of the block, in slot order.
    template <class F> void ForEachVoice(F&& apply)
    {
        for (Voice& voice : voices_)
            apply(voice);
    }

    Voice& GetVoice(int slot) { return voices_[slot]; }
    const Voice& GetVoice(int slot) const { return voices_[slot]; }
    const OscillatorBank& Bank() const { return bank_; }
    const Resonator& GetResonator(int index) const { return resonators_[index]; }
    int CutoffIndex() const { return cutoffIndex_; }
    bool ChannelEnabled() const { return channelEnabled_; }

private:
    static constexpr double kDefaultVolume2 = 0.5;
    static constexpr double kDefaultPan = 0.5;

    std::array<Voice, kVoices> MakeVoices();
    Voice* FindVoice(int note, bool activeOnly);
    static void ReleaseUnlessLatched(Voice& voice);

    const CutoffTable& cutoffs_;
    BlockModulation modulation_;
    OscillatorBank bank_;
    std::array<Voice, kVoices> voices_;
    std::array<Resonator, kResonators> resonators_;
    VoiceGroup group_;
    int glideCount_ = 0;
    double glideStep_ = 0.0;
    double glidePosition_ = kGlideStart;
    double glideTarget_ = kGlideStart;
    int cutoffIndex_ = 0;
    std::vector<double> voiceMix_;
    std::vector<double> blockOut_;
    std::vector<int> fmBuffer_;
    std::vector<int> cutoffModBuffer_;
    std::vector<double> channelVca_;
    std::vector<double> amBuffer_;
    double sampleRate_ = 0.0;
    bool amOn_ = false;
    bool resonatorsOn_ = false;
    bool channelEnabled_ = true;
    double amDepth_ = 0.0;
    double volume2_ = kDefaultVolume2;
    double pan_ = kDefaultPan;
    double gainLeft_ = (1.0 - kDefaultPan) * kDefaultVolume2;
    double gainRight_ = kDefaultPan * kDefaultVolume2;
    double resonatorIntensity_ = 0.0;
    std::array<double, kResonators> resonatorFrequency_ = kResonatorDefaults;
};

} // namespace zr
