#pragma once

#include "editor/graphics/IKnobMultiControl.h"
#include "editor/panel/IZRContextMenu.h"

#include <memory>

namespace zr
{

// The panel's knobs, rotary selectors and the lever: the value changes only by drag, wheel and
// double click; a right click opens the copy-to-block menu when the knob has one.
class IZRKnobMultiControl : public IKnobMultiControl
{
public:
    IZRKnobMultiControl(IPlugBase& plug, int x, int y, int paramIndex, const IBitmapStrip& strip,
                        double gearing, bool copyMenu);

    void OnMouseDown(int x, int y, const IMouseState& mouse) override;

    const IZRContextMenu* CopyMenu() const { return copyMenu_.get(); }

private:
    std::unique_ptr<IZRContextMenu> copyMenu_;
};

} // namespace zr
