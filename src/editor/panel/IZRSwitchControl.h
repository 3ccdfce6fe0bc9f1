#pragma once

#include "editor/graphics/ISwitchControl.h"
#include "editor/panel/IZRContextMenu.h"

#include <memory>

namespace zr
{

// The panel's switches: a left click steps to the next position and writes it; a right click opens
// the copy-to-block menu when the switch has one.
class IZRSwitchControl : public ISwitchControl
{
public:
    IZRSwitchControl(IPlugBase& plug, int x, int y, int paramIndex, const IBitmapStrip& strip, bool copyMenu);

    void OnMouseDown(int x, int y, const IMouseState& mouse) override;

    const IZRContextMenu* CopyMenu() const { return copyMenu_.get(); }

private:
    std::unique_ptr<IZRContextMenu> copyMenu_;
};

} // namespace zr
