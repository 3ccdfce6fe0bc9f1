#include "editor/panel/IZRKnobMultiControl.h"

#include "editor/graphics/IGraphics.h"

namespace zr
{

IZRKnobMultiControl::IZRKnobMultiControl(IPlugBase& plug, int x, int y, int paramIndex,
                                         const IBitmapStrip& strip, double gearing, bool copyMenu)
    : IKnobMultiControl(plug, x, y, paramIndex, strip, gearing)
{
    if (copyMenu) copyMenu_ = std::make_unique<IZRContextMenu>(plug, Rect(), paramIndex);
}

void IZRKnobMultiControl::OnMouseDown(int, int, const IMouseState& mouse)
{
    if (mouse.right && copyMenu_ && Graphics()) copyMenu_->Open(*Graphics());
}

} // namespace zr
