#pragma once

#include "editor/graphics/IBitmapStrip.h"
#include "editor/graphics/IKnobControl.h"
#include "editor/panel/IZRContextMenu.h"

#include <memory>

namespace zr
{

// A small knob with its parameter's value printed under it. The control covers the given rect and
// 16 pixels below; a click on the value opens the value entry there, a click elsewhere writes the
// value back unchanged. Dragging uses the whole control's height. A right click opens the
// copy-to-block menu when the control has one.
class IZRKnobMultiControlText : public IKnobControl
{
public:
    static constexpr int kTextHeight = 16;
    static constexpr int kTextGap = 2;

    IZRKnobMultiControlText(IPlugBase& plug, const IRectangle& rect, int paramIndex,
                            const IBitmapStrip& strip, bool copyMenu = false);

    bool Draw(IGraphics& graphics) override;
    void OnMouseDown(int x, int y, const IMouseState& mouse) override;

    const IRectangle& ImageRect() const { return imageRect_; }
    const IRectangle& TextRect() const { return textRect_; }
    const IZRContextMenu* CopyMenu() const { return copyMenu_.get(); }

private:
    IBitmapStrip strip_;
    IRectangle imageRect_;
    IRectangle textRect_;
    std::unique_ptr<IZRContextMenu> copyMenu_;
};

} // namespace zr
