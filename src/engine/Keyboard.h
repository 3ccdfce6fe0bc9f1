#pragma once

#include "engine/SynthBlock.h"

#include <array>
#include <cstdint>
#include <span>

namespace zr
{

// Keyboard assignment: the held keys, the note-on serial counter, the last key as a control
// voltage and the three one-tick trigger flags. Note events arrive from the MIDI queue drain on the
// audio thread; every key event is passed on to the blocks in the order A, B, C.
class Keyboard
{
public:
    static constexpr int kKeys = 128;
    static constexpr int kMaxKbdTrig = 5;
    static constexpr double kKeyCvHalfRange = 63.5;

    explicit Keyboard(std::span<SynthBlock> blocks) : blocks_(blocks) {}

    // Set-up: no key held, serial counter 0.
    void Reset();

    void NoteOn(int key, int velocity);
    // Returns true when this note off left no key held (the general envelope then releases).
    bool NoteOff(int key);
    void Pedal(bool down);
    // Clears the held keys and releases every voice that is not hold-latched.
    void AllNotesOff();
    // End of every control tick.
    void ClearTriggers() { multipleTrigger_ = singleTrigger_ = keyboardTrigger_ = false; }

    void SetKbdTrig(int count) { kbdTrigCount_ = count; }

    int HeldCount() const { return heldCount_; }
    bool IsHeld(int key) const { return key >= 0 && key < kKeys && velocity_[key] > 0; }
    int Serial() const { return serial_; }
    // Trigger sources "Mlt", "Sng" and "KBD"; CV source "Key". Stable addresses for patching.
    const bool& MultipleTrigger() const { return multipleTrigger_; }
    const bool& SingleTrigger() const { return singleTrigger_; }
    const bool& KeyboardTrigger() const { return keyboardTrigger_; }
    const double& KeyboardCv() const { return keyboardCv_; }

private:
    std::span<SynthBlock> blocks_;
    std::array<std::uint8_t, kKeys> velocity_{}; // 0: not held
    int heldCount_ = 0;
    int serial_ = 0;
    int kbdTrigCount_ = 0;
    double keyboardCv_ = 0.0;
    bool multipleTrigger_ = false;
    bool singleTrigger_ = false;
    bool keyboardTrigger_ = false;
};

} // namespace zr
