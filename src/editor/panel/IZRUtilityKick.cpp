#include "editor/panel/IZRUtilityKick.h"

#include "plugin/Synth.h"

namespace zr
{

IZRUtilityKick::IZRUtilityKick(Synth& synth, int x, int y, int pseudoIndex, const IBitmapStrip& strip,
                               std::function<void()> kick)
    : IContactControl(synth, x, y, pseudoIndex, strip), synth_(synth), kick_(std::move(kick))
{
}

void IZRUtilityKick::OnMouseUp(int, int, const IMouseState&)
{
    SetValue(0.0);
    MarkDirty(false);
    switch (ParamIndex())
    {
    case kPreviousProgram:
        synth_.SelectPreviousProgram();
        break;
    case kNextProgram:
        synth_.SelectNextProgram();
        break;
    case kTriggerKick:
        if (kick_) kick_();
        break;
    default:
        break;
    }
}

} // namespace zr
