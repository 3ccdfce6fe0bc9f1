#include "editor/graphics/IBitmapControl.h"

#include "editor/graphics/IGraphics.h"

namespace zr
{

IBitmapControl::IBitmapControl(IPlugBase& plug, int x, int y, int paramIndex, const IBitmapStrip& strip,
                               const IBlend& blend)
    : IControl(plug, strip.FrameRect(x, y), paramIndex, blend), strip_(strip)
{
}

bool IBitmapControl::Draw(IGraphics& graphics)
{
    return graphics.DrawBitmap(strip_, Rect(), strip_.FrameFor(Value()), &Blend());
}

} // namespace zr
