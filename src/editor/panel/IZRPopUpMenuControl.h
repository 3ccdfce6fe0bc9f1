#pragma once

#include "editor/graphics/IBitmapStrip.h"
#include "editor/graphics/IControl.h"
#include "editor/panel/IZRContextMenu.h"

#include <memory>

#include <string>

namespace zr
{

class IZRInfoBubble;

// The selector of a patch point, a host tempo division or a MIDI controller number: shows the chosen
// entry on its "on" image (only the "off" image for "off"), and on a click offers every entry in a
// popup list grouped by its mode:
//   1: MIDI controllers, four submenus of 30; the selector shows the number.
//   2: control-voltage sources, values 0 and 1 then "Intern", "Extern", "MIDI".
//   3: trigger sources, value 0 then "Intern", "Extern".
//   4: host tempo divisions, value 0 then "4/1 - 1/4", "1/8. - 1/64".
// Hovering a selector of mode 2 or 3 shows its patch point on the information panel. A right click
// opens the copy-to-block menu when the selector has one.
class IZRPopUpMenuControl : public IControl
{
public:
    enum Mode
    {
        kControllers = 1,
        kCvSources = 2,
        kTriggerSources = 3,
        kHostDivisions = 4,
    };

    IZRPopUpMenuControl(IPlugBase& plug, int x, int y, int paramIndex, const IArgbColor& textColor,
                        const IBitmapStrip& offStrip, const IBitmapStrip& onStrip, int mode,
                        bool copyMenu = false);

    bool Draw(IGraphics& graphics) override;
    void OnMouseDown(int x, int y, const IMouseState& mouse) override;
    void OnMouseOver(int x, int y, const IMouseState& mouse) override;

    // The text the selector shows for the parameter's current value.
    std::string ShownText() const;
    int Mode() const { return mode_; }
    // The information panel that hovering shows the patch point on; nullptr for none.
    void SetInfoPanel(IZRInfoBubble* info) { info_ = info; }
    const IRectangle& TextRect() const { return textRect_; }
    const IZRContextMenu* CopyMenu() const { return copyMenu_.get(); }

private:
    IBitmapStrip offStrip_;
    IBitmapStrip onStrip_;
    IRectangle textRect_;
    int mode_;
    IZRInfoBubble* info_ = nullptr;
    std::unique_ptr<IZRContextMenu> copyMenu_;
};

} // namespace zr
