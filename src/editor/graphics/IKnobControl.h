#pragma once

#include "editor/graphics/IControl.h"

namespace zr
{

// A knob turned by dragging up and down or by the wheel. Gearing is the number of control heights
// of travel for the full range; shift or control divides the speed by ten.
class IKnobControl : public IControl
{
public:
    static constexpr double kDefaultGearing = 4.0;
    static constexpr double kFineFactor = 10.0;
    static constexpr double kWheelStep = 0.01;
    static constexpr double kFineWheelStep = 0.001;

    IKnobControl(IPlugBase& plug, const IRectangle& rect, int paramIndex, double gearing = kDefaultGearing,
                 const IBlend& blend = {});

    void OnMouseDrag(int x, int y, int dx, int dy, const IMouseState& mouse) override;
    void OnMouseWheel(int x, int y, const IMouseState& mouse, int notches) override;

    double Gearing() const { return gearing_; }
    void SetGearing(double gearing) { gearing_ = gearing; }

private:
    double gearing_;
};

} // namespace zr
