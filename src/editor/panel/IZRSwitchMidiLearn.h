#pragma once

#include "editor/graphics/ISwitchControl.h"
#include "plugin/ILearnSwitch.h"

namespace zr
{

class Synth;

// The MIDI learn button. A left click switches learning on or off in the current mode (learn or
// unlearn); a right click while it is off swaps the mode and its image. The synth base switches it
// off when a learn completes (SwitchOff, lock held, any thread).
class IZRSwitchMidiLearn : public ISwitchControl, public ILearnSwitch
{
public:
    IZRSwitchMidiLearn(Synth& synth, int x, int y, int pseudoIndex, const IBitmapStrip& learnStrip,
                       const IBitmapStrip& unlearnStrip);

    bool Draw(IGraphics& graphics) override;
    void OnMouseDown(int x, int y, const IMouseState& mouse) override;
    void SwitchOff() override;

    bool LearnMode() const { return learnMode_; }
    const IBitmapStrip& ShownStrip() const { return learnMode_ ? learnStrip_ : unlearnStrip_; }

private:
    Synth& synth_;
    IBitmapStrip learnStrip_;
    IBitmapStrip unlearnStrip_;
    bool learnMode_ = true;
};

} // namespace zr
