#pragma once

#include "editor/graphics/IControl.h"

namespace zr
{

class IPopupList;

// A click area of the panel that opens one of the instrument's menus; the background shows its face,
// so it draws nothing itself. A press of any button builds the menu afresh and shows it at the mouse
// pointer; after a choice the command runs and the whole panel is redrawn (user-interface thread).
class IZRMenuArea : public IControl
{
public:
    using IControl::IControl;

    bool Draw(IGraphics&) override { return true; }
    void OnMouseDown(int x, int y, const IMouseState& mouse) override;

    // The menu as it is shown now.
    virtual void BuildMenu(IPopupList& menu) = 0;

protected:
    // Carries out the item chosen in the list chosen (menu or one of its sub-lists).
    virtual void RunChoice(const IPopupList& menu, const IPopupList& chosen) = 0;
};

} // namespace zr
