#include "editor/panel/IZRSwitchMidiLearn.h"

#include "editor/graphics/IGraphics.h"
#include "plugin/Synth.h"

namespace zr
{

IZRSwitchMidiLearn::IZRSwitchMidiLearn(Synth& synth, int x, int y, int pseudoIndex,
                                       const IBitmapStrip& learnStrip, const IBitmapStrip& unlearnStrip)
    : ISwitchControl(synth, x, y, pseudoIndex, learnStrip), synth_(synth), learnStrip_(learnStrip),
      unlearnStrip_(unlearnStrip)
{
}

bool IZRSwitchMidiLearn::Draw(IGraphics& graphics)
{
    const IBitmapStrip& strip = ShownStrip();
    return graphics.DrawBitmap(strip, Rect(), strip.FrameFor(Value()), &Blend());
}

void IZRSwitchMidiLearn::OnMouseDown(int x, int y, const IMouseState& mouse)
{
    if (mouse.right)
    {
        if (Value() > 0.0) return;
        learnMode_ = !learnMode_;
        MarkDirty(true);
        return;
    }
    ISwitchControl::OnMouseDown(x, y, mouse);
    if (Value() > 0.0)
    {
        synth_.ArmLearn(!learnMode_);
    }
    else
    {
        synth_.DisarmLearn();
    }
}

void IZRSwitchMidiLearn::SwitchOff()
{
    TakePluginValue(0.0);
    MarkDirty(false);
}

} // namespace zr
