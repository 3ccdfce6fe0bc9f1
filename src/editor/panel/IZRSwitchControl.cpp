#include "editor/panel/IZRSwitchControl.h"

#include "editor/graphics/IGraphics.h"

namespace zr
{

IZRSwitchControl::IZRSwitchControl(IPlugBase& plug, int x, int y, int paramIndex, const IBitmapStrip& strip,
                                   bool copyMenu)
    : ISwitchControl(plug, x, y, paramIndex, strip)
{
    if (copyMenu) copyMenu_ = std::make_unique<IZRContextMenu>(plug, Rect(), paramIndex);
}

void IZRSwitchControl::OnMouseDown(int x, int y, const IMouseState& mouse)
{
    if (!mouse.right)
    {
        ISwitchControl::OnMouseDown(x, y, mouse);
        return;
    }
    if (copyMenu_ && Graphics()) copyMenu_->Open(*Graphics());
}

} // namespace zr
