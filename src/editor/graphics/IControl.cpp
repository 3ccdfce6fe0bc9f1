#include "editor/graphics/IControl.h"

#include "editor/graphics/IGraphics.h"
#include "plugin/IPlugBase.h"

#include <algorithm>

namespace zr
{

IControl::IControl(IPlugBase& plug, const IRectangle& rect, int paramIndex, const IBlend& blend)
    : plug_(plug), rect_(rect), targetRect_(rect), paramIndex_(paramIndex), blend_(blend)
{
}

void IControl::OnMouseDown(int, int, const IMouseState& mouse)
{
    if (mouse.right) PromptParamValue();
}

void IControl::OnMouseUp(int, int, const IMouseState&) {}

void IControl::OnMouseDrag(int, int, int, int, const IMouseState&) {}

void IControl::OnMouseDoubleClick(int, int, const IMouseState&)
{
    if (defaultValue_ >= 0.0)
    {
        value_ = defaultValue_;
        MarkDirty(true);
    }
}

void IControl::OnMouseWheel(int, int, const IMouseState&, int) {}

bool IControl::OnKeyDown(int, int, KeyCode)
{
    return false;
}

void IControl::OnMouseOver(int, int, const IMouseState&) {}

void IControl::OnMouseOut() {}

void IControl::TakePluginValue(double value)
{
    if (defaultValue_ < 0.0) defaultValue_ = value_ = value;
    if (value != value_)
    {
        value_ = value;
        MarkDirty(false);
        redrawPending_ = true;
    }
}

void IControl::TakeUserChoice(double value)
{
    if (value != value_)
    {
        value_ = value;
        MarkDirty(true);
        redrawPending_ = true;
    }
}

void IControl::TakeEnteredText(std::string_view) {}

void IControl::Hide(bool hide)
{
    hidden_ = hide;
    redrawPending_ = true;
    MarkDirty(false);
}

void IControl::SetGreyed(bool greyed)
{
    grayed_ = greyed;
    blend_.weight = greyed ? 0.25f : 1.0f;
    MarkDirty(false);
}

bool IControl::ContainsPoint(int x, int y) const
{
    return targetRect_.Contains(x, y);
}

void IControl::MarkDirty(bool writeBack)
{
    // A NaN from outside becomes the low limit rather than travelling on to the parameter.
    value_ = value_ >= clampLow_ ? std::min(value_, clampHigh_) : clampLow_;
    dirty_ = true;
    if (writeBack && paramIndex_ >= 0) plug_.SetParamFromEditor(paramIndex_, value_);
}

void IControl::MarkClean()
{
    dirty_ = redrawPending_;
    redrawPending_ = false;
}

void IControl::SetClamp(double low, double high)
{
    clampLow_ = low;
    clampHigh_ = high;
}

void IControl::PromptParamValue()
{
    if (graphics_) graphics_->PromptParamValue(*this);
}

} // namespace zr
