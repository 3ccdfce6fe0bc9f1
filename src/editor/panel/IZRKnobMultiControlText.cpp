#include "editor/panel/IZRKnobMultiControlText.h"

#include "editor/graphics/IGraphics.h"
#include "editor/panel/PanelTextStyle.h"
#include "plugin/IPlugBase.h"

namespace zr
{
namespace
{

IRectangle ExtendDown(const IRectangle& r, int by)
{
    return {r.L, r.T, r.R, r.B + by};
}

} // namespace

IZRKnobMultiControlText::IZRKnobMultiControlText(IPlugBase& plug, const IRectangle& rect, int paramIndex,
                                                 const IBitmapStrip& strip, bool copyMenu)
    : IKnobControl(plug, ExtendDown(rect, kTextHeight), paramIndex), strip_(strip),
      imageRect_(strip.FrameRect(rect.L, rect.T)), textRect_{imageRect_.L, imageRect_.B + kTextGap,
                                                             imageRect_.R, imageRect_.B + kTextHeight}
{
    SetPromptEnabled(true);
    SetTextStyle(PanelTextStyle("Verdana", 12, {64, 255, 160, 0}));
    if (copyMenu) copyMenu_ = std::make_unique<IZRContextMenu>(plug, Rect(), paramIndex);
}

bool IZRKnobMultiControlText::Draw(IGraphics& graphics)
{
    bool drawn = graphics.DrawBitmap(strip_, imageRect_, strip_.FrameFor(Value()), &Blend());
    if (const IParameter* param = Plug().GetParam(ParamIndex()))
    {
        const std::string text = param->GetDisplay(true);
        if (!text.empty()) drawn = graphics.DrawIText(TextStyle(), text, textRect_) && drawn;
    }
    return drawn;
}

void IZRKnobMultiControlText::OnMouseDown(int x, int y, const IMouseState& mouse)
{
    if (mouse.right && copyMenu_ && Graphics())
    {
        copyMenu_->Open(*Graphics());
        return;
    }
    if (textRect_.Contains(x, y) && Graphics())
    {
        Graphics()->PromptParamValue(*this, &textRect_);
        return;
    }
    OnMouseDrag(x, y, 0, 0, mouse);
}

} // namespace zr
