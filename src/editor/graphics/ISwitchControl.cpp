#include "editor/graphics/ISwitchControl.h"

namespace zr
{

namespace
{
// Rounding slack so that N - 1 steps of 1 / (N - 1) reach 1 without wrapping.
constexpr double kWrapAbove = 1.001;
} // namespace

void ISwitchControl::OnMouseDown(int, int, const IMouseState&)
{
    const int n = Strip().N;
    double value = Value() + (n < 2 ? 1.0 : 1.0 / (n - 1));
    if (value > kWrapAbove) value = 0.0;
    SetValue(value);
    MarkDirty(true);
}

void ISwitchControl::OnMouseDoubleClick(int x, int y, const IMouseState& mouse)
{
    OnMouseDown(x, y, mouse);
}

} // namespace zr
