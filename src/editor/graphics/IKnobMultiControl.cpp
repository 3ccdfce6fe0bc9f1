#include "editor/graphics/IKnobMultiControl.h"

#include "editor/graphics/IGraphics.h"

namespace zr
{

IKnobMultiControl::IKnobMultiControl(IPlugBase& plug, int x, int y, int paramIndex, const IBitmapStrip& strip,
                                     double gearing, const IBlend& blend)
    : IKnobControl(plug, strip.FrameRect(x, y), paramIndex, gearing, blend), strip_(strip)
{
}

bool IKnobMultiControl::Draw(IGraphics& graphics)
{
    return graphics.DrawBitmap(strip_, Rect(), strip_.FrameFor(Value()), &Blend());
}

} // namespace zr
