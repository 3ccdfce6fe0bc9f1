#pragma once

#include "editor/graphics/IBitmapControl.h"

namespace zr
{

// A switch that steps through its frames on each click and wraps from the last to the first.
class ISwitchControl : public IBitmapControl
{
public:
    using IBitmapControl::IBitmapControl;

    void OnMouseDown(int x, int y, const IMouseState& mouse) override;
    // A quick second click is one more step.
    void OnMouseDoubleClick(int x, int y, const IMouseState& mouse) override;
};

} // namespace zr
