#pragma once

#include "engine/EM.h"
#include "engine/OscillatorBank.h"
#include "engine/VoiceFilter.h"

namespace zr
{

// One key voice of a block: the master's signal at the voice's octave, its own low-pass filter,
// envelope modulator and keyboard level. Render and per-tick update run on the audio thread; the
// setters are the voice parameter step (instance lock held).
class Voice
{
public:
    static constexpr int kCutoffSweep = 10753; // pitch units for fC Bal or Expand = 1 (84 semitones + 1)
    static constexpr int kNoteAfterSetUp = 48;
    static constexpr double kKeyCvCenter = 48.0;
    static constexpr double kKeyCvSpan = 84.0;

    explicit Voice(const OscillatorBank& bank) : bank_(&bank) {}

    // Resets the key state and the envelope; filter states and parameters are kept.
    void SetUp(double fs, const CutoffTable* cutoffs, const int* cutoffMod);

    void Start(int note, int serial);
    void Release() { em_.Release(); }
    // Once per tick at position 0, with the block's cutoff index.
    void TickUpdate(int blockCutoffIndex);

    void SetPeak(double value) { filter_.SetPeak(value); }
    void SetFcBal(double value) { fcBal_ = value; }
    void SetExpand(double value) { expand_ = value; }
    void SetKbdBal(double value) { kbdBal_ = value; }
    void SetEmAttack(double value) { emAtk_ = value; }
    void SetEmDecay(double value) { em_.SetDecay(value); }
    void SetEmSustain(double value) { em_.SetSustain(value); }
    void SetEmRelease(int mode) { em_.SetReleaseMode(mode); }
    void SetEmHold(bool on) { em_.SetHoldEnabled(on); }
    void SetUseHold(bool on) { em_.SetUseHold(on); }
    void SetOverRelease(bool on) { em_.SetOverRelease(on); }
    void SetEmOverReleaseTime(double value) { em_.SetOverReleaseTime(value); }
    // Patch references (none = nullptr); read once per tick.
    void SetAttackSource(const double* source) { attackSource_ = source; }
    void SetReleaseTrigger(const bool* trigger) { releaseTrigger_ = trigger; }

    void SetKeyDown(bool down) { keyDown_ = down; }
    void SetPedalHeld(bool held) { pedalHeld_ = held; }

    bool Active() const { return active_; }
    bool KeyDown() const { return keyDown_; }
    bool PedalHeld() const { return pedalHeld_; }
    int Note() const { return note_; }
    int Serial() const { return serial_; }
    double KeyScale() const { return keyScale_; }
    double FcBal() const { return fcBal_; }
    double Expand() const { return expand_; }
    double KbdBal() const { return kbdBal_; }
    double EmAttack() const { return emAtk_; }
    double Gain() const { return (1.0 - keyScale_) + kbdBal_ * (2.0 * keyScale_ - 1.0); }
    const EM& Envelope() const { return em_; }
    VoiceFilter& Filter() { return filter_; }

private:
    // The block renders its active voices side by side (VoiceGroup) from the voices' own state.
    friend class VoiceGroup;

    const OscillatorBank* bank_;
    VoiceFilter filter_;
    EM em_;
    VoicePhase phase_;
    double keyCV_ = 0.0;
    double keyScale_ = 0.0;
    const double* attackSource_ = nullptr;
    const bool* releaseTrigger_ = nullptr;
    double kbdBal_ = 0.5;
    double fcBal_ = 0.0;
    double expand_ = 0.0;
    double emAtk_ = 0.0;
    bool active_ = false;
    bool keyDown_ = false;
    bool pedalHeld_ = false;
    int note_ = kNoteAfterSetUp;
    int octaveNumber_ = kNoteAfterSetUp / 12;
    int noteName_ = kNoteAfterSetUp % 12;
    int serial_ = 0;
};

} // namespace zr
