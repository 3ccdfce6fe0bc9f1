#pragma once

#include "editor/graphics/IBitmapStrip.h"
#include "editor/graphics/IKnobControl.h"

namespace zr
{

// A knob drawn as one frame of its strip; its rect is a frame at (x, y).
class IKnobMultiControl : public IKnobControl
{
public:
    IKnobMultiControl(IPlugBase& plug, int x, int y, int paramIndex, const IBitmapStrip& strip,
                      double gearing = kDefaultGearing, const IBlend& blend = {});

    bool Draw(IGraphics& graphics) override;

    const IBitmapStrip& Strip() const { return strip_; }

private:
    IBitmapStrip strip_;
};

} // namespace zr
