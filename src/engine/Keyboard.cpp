#include "engine/Keyboard.h"

namespace zr
{

void Keyboard::Reset()
{
    velocity_.fill(0);
    heldCount_ = 0;
    serial_ = 0;
}

void Keyboard::NoteOn(int key, int velocity)
{
    if (key < 0 || key >= kKeys || velocity <= 0) return;
    if (velocity_[key] == 0) ++heldCount_;
    velocity_[key] = static_cast<std::uint8_t>(velocity);
    ++serial_;
    multipleTrigger_ = true;
    if (heldCount_ == 1) singleTrigger_ = true;
    if (kbdTrigCount_ > 0) keyboardTrigger_ = heldCount_ == kbdTrigCount_;
    keyboardCv_ = key / kKeyCvHalfRange - 1.0;
    for (SynthBlock& block : blocks_)
        block.Assign(key, serial_);
}

bool Keyboard::NoteOff(int key)
{
    if (key < 0 || key >= kKeys) return false;
    if (velocity_[key] > 0)
    {
        velocity_[key] = 0;
        --heldCount_;
    }
    for (SynthBlock& block : blocks_)
        block.ReleaseKey(key);
    return heldCount_ == 0;
}

void Keyboard::Pedal(bool down)
{
    for (SynthBlock& block : blocks_)
        block.Pedal(down);
}

void Keyboard::AllNotesOff()
{
    velocity_.fill(0);
    heldCount_ = 0;
    for (SynthBlock& block : blocks_)
        block.ReleaseAll();
}

} // namespace zr
