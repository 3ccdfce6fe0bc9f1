#pragma once

#include "editor/graphics/IBitmapStrip.h"
#include "editor/graphics/IControl.h"

namespace zr
{

// A control drawn as one frame of its strip, chosen by the value; its rect is a frame at (x, y).
class IBitmapControl : public IControl
{
public:
    IBitmapControl(IPlugBase& plug, int x, int y, int paramIndex, const IBitmapStrip& strip,
                   const IBlend& blend = {});

    bool Draw(IGraphics& graphics) override;

    const IBitmapStrip& Strip() const { return strip_; }

private:
    IBitmapStrip strip_;
};

} // namespace zr
