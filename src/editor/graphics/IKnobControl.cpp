#include "editor/graphics/IKnobControl.h"

namespace zr
{

namespace
{
bool Fine(const IMouseState& mouse)
{
    return mouse.shift || mouse.control;
}
} // namespace

IKnobControl::IKnobControl(IPlugBase& plug, const IRectangle& rect, int paramIndex, double gearing,
                           const IBlend& blend)
    : IControl(plug, rect, paramIndex, blend), gearing_(gearing)
{
}

void IKnobControl::OnMouseDrag(int, int, int, int dy, const IMouseState& mouse)
{
    const double gearing = Fine(mouse) ? gearing_ * kFineFactor : gearing_;
    const int height = Rect().T - Rect().B; // negative: moving up (dy < 0) raises the value
    if (height == 0 || gearing == 0.0) return;
    SetValue(Value() + dy / static_cast<double>(height) / gearing);
    MarkDirty(true);
}

void IKnobControl::OnMouseWheel(int, int, const IMouseState& mouse, int notches)
{
    SetValue(Value() + (Fine(mouse) ? kFineWheelStep : kWheelStep) * notches);
    MarkDirty(true);
}

} // namespace zr
